#include "executable/ExeAnalysis.h"

#include <algorithm>

namespace quiddity {

namespace {

// Printable text shows at most this many bytes.
constexpr std::size_t kPrintableBytes = 32;

}  // namespace

std::string PrintableName(std::string_view bytes) {
    std::string text(bytes);
    for (char& c : text)
        if (!IsPrintableByte(static_cast<unsigned char>(c))) c = '.';
    return text;
}

std::string PrintableText(std::span<const std::uint8_t> bytes) {
    return PrintableName({reinterpret_cast<const char*>(bytes.data()), std::min(bytes.size(), kPrintableBytes)});
}

std::string_view TextUpToZero(std::span<const std::uint8_t> bytes) {
    const auto zero = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
    return {reinterpret_cast<const char*>(bytes.data()), static_cast<std::size_t>(zero - bytes.begin())};
}

void TrimEnd(std::string& text, std::string_view characters) {
    const std::size_t keep = text.find_last_not_of(characters);
    text.erase(keep == std::string::npos ? 0 : keep + 1);
}

}  // namespace quiddity
