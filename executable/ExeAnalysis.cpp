#include "executable/ExeAnalysis.h"

#include <algorithm>

namespace quiddity {

namespace {

// Printable text shows at most this many bytes.
constexpr std::size_t kPrintableBytes = 32;

}  // namespace

std::string PrintableText(std::span<const std::uint8_t> bytes) {
    std::string text;
    for (std::size_t i = 0; i < bytes.size() && i < kPrintableBytes; ++i)
        text += IsPrintableByte(bytes[i]) ? static_cast<char>(bytes[i]) : '.';
    return text;
}

void TrimEnd(std::string& text, std::string_view characters) {
    const std::size_t keep = text.find_last_not_of(characters);
    text.erase(keep == std::string::npos ? 0 : keep + 1);
}

}  // namespace quiddity
