// The rows of the location list: what the browser shows on its left and
// the command line prints for a network location.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quiddity {

// The Type column's markers.
inline constexpr std::string_view kTypeDrive = "(drive)";
inline constexpr std::string_view kTypeDir = "(dir)";
inline constexpr std::string_view kTypeDomain = "(domain)";
inline constexpr std::string_view kTypeServer = "(server)";
inline constexpr std::string_view kTypeShare = "(share)";
inline constexpr std::string_view kNoFilesFound = "(no files found)";
inline constexpr std::string_view kNetworkEntry = "Network";
inline constexpr std::string_view kSpecialFoldersEntry = "Special folders";

// One row: the Filename, Type and Size columns.
struct CListItem {
    std::string name;
    std::string type;
    std::string size;
};

// "1 KB" for 1 to 1024 bytes, whole megabytes above 1 MB + 1 KB, whole
// kilobytes otherwise (0 included).
std::string SizeText(std::uint64_t size);

// A file's row: its extension from the last "." as Type, its size text.
CListItem FileItem(std::string_view name, std::uint64_t size);

}  // namespace quiddity
