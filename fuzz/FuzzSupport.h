// Shared by the fuzz targets: each input is handed to the parsers as a
// memory source, and what they write goes to a pane that converts each
// piece as every text pane does, then forgets it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "core/ByteSource.h"
#include "core/TextPanes.h"

namespace quiddity::fuzz {

class CDiscardingPane : public CPlainTextPane {
public:
    void EndReport() override { Clear(); }
};

inline CMemoryByteSource SourceOf(const std::uint8_t* data, std::size_t size) {
    return CMemoryByteSource(std::span(data, size));
}

}  // namespace quiddity::fuzz
