// The version resource of an executable (VS_VERSIONINFO), found and read
// from the file's bytes without any system version API: in a PE file
// (PE32 or PE32+) through its resource directory, in an NE file through its
// resource table.  Layout: Microsoft "VS_VERSIONINFO structure" and, for
// 16-bit files, the Windows 3.1 SDK's VERSIONINFO resource.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/ByteSource.h"

namespace quiddity {

// A version block's lengths are 16-bit, so no block is larger.
inline constexpr std::size_t kVersionBlockLimit = 0x10000;

struct VersionResource {
    std::vector<std::uint8_t> block;  // at most kVersionBlockLimit bytes
    bool wide = false;                // keys and texts in UTF-16 (PE), else 8-bit (NE)
};

// The version resource of a PE or NE file; none when the file has none or
// it cannot be found.  A resource longer than the file holds is cut short.
// LE files (virtual device drivers) keep theirs outside any resource table
// (e32_winresoff); it is not read.
std::optional<VersionResource> ReadVersionResource(const IByteSource& source);

// The bytes of the value at `path` (the keys below the root, each compared
// regardless of ASCII case), as long as its length field says and its
// block holds; none when a key is absent.
std::optional<std::span<const std::uint8_t>> FindVersionValue(const VersionResource& resource,
                                                              std::span<const std::string_view> path);

// The text of the value at `path`: up to its first zero inside its block,
// as UTF-8 (UTF-16 with lone surrogates as U+FFFD; 8-bit as Windows-1252).
// Control characters other than CR, LF and TAB become ".", so none reaches
// a terminal.  Empty when the value exists but is empty; none when absent.
std::optional<std::string> FindVersionText(const VersionResource& resource, std::span<const std::string_view> path);

}  // namespace quiddity
