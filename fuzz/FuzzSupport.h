// Shared by the fuzz targets: each input is handed to the parsers as a
// memory source, and what they write goes to a pane that converts each
// piece as every text pane does, then forgets it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>

#include "core/ByteSource.h"
#include "core/TextFormat.h"
#include "core/TextPanes.h"

namespace quiddity::fuzz {

class CDiscardingPane : public CPlainTextPane {
public:
    void EndReport() override { Clear(); }
};

inline CMemoryByteSource SourceOf(const std::uint8_t* data, std::size_t size) {
    return CMemoryByteSource(std::span(data, size));
}

// Stops the run (a finding) unless text is valid UTF-8 without ESC or any
// other control but TAB and the line ends, without C1 controls and without
// bidirectional overrides: what a pane's output must be, its own attributes
// taken out first.
inline void RequireShownSafely(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const ReportCharacter c = DecodeReportCharacter(text.substr(i));
        const bool invalid = c.length == 1 && c.codePoint >= 0x80;
        if (invalid || IsControlOrOverride(c.codePoint)) std::abort();
        i += c.length;
    }
}

// The ANSI pane's output without the attributes it writes itself.
inline std::string WithoutOwnAttributes(std::string text) {
    for (const std::string_view own : {"\x1b[1;31m", "\x1b[2m", "\x1b[0m"}) {
        for (std::size_t at = 0; (at = text.find(own, at)) != std::string::npos;) text.erase(at, own.size());
    }
    return text;
}

}  // namespace quiddity::fuzz
