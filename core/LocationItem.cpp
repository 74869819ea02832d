#include "core/LocationItem.h"

#include <cstdio>

namespace quiddity {

namespace {

constexpr std::uint64_t kOneKilobyte = 1024;
constexpr std::uint64_t kMegabyteThreshold = 1049600;  // 1 MB + 1 KB

}  // namespace

std::string SizeText(std::uint64_t size) {
    char text[32];
    if (size >= 1 && size <= kOneKilobyte) return "1 KB";
    if (size > kMegabyteThreshold) std::snprintf(text, sizeof text, "%llu MB", static_cast<unsigned long long>(size >> 20));
    else std::snprintf(text, sizeof text, "%llu KB", static_cast<unsigned long long>(size >> 10));
    return text;
}

CListItem FileItem(std::string_view name, std::uint64_t size) {
    const std::size_t dot = name.rfind('.');
    return {std::string(name), dot == std::string_view::npos ? std::string() : std::string(name.substr(dot)), SizeText(size)};
}

}  // namespace quiddity
