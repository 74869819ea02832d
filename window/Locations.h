// What the location list shows, without any widget: the rows of a folder,
// of the drive list and of the special folders, the size texts, and the
// sort orders.  Paths use "/" and folders end in "/".
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/LocationItem.h"

namespace quiddity {

enum ESortMode : int { kSortByName = 0, kSortByType = 1, kSortBySize = 2, kSortByLabel = 10 };

// Orders two Size texts: kilobytes before megabytes, each unit by its
// number; texts of other shapes mostly compare equal.
int CompareSizeTexts(std::string_view a, std::string_view b);

// Sorts by the mode, forwards or backwards; rows its key leaves equal (one
// type, one size) follow by name, names in natural order ("8" before "7950",
// letters in any case).  Other modes leave the order as it is.  Whatever
// the mode, ".." comes first, then every other "(dir)" row, then the rest.
void SortItems(std::vector<CListItem>& items, int sortMode, bool descending = false);

// The rows of a folder in the order a listing shows them before sorting:
// folders in front in directory order ("." left out, ".." kept), files after
// them with their extension as Type and their size text.  False when the
// folder cannot be read.
bool ReadFolderItems(const std::string& folder, std::vector<CListItem>& items);

// The mount points a user cares about, each ending in "/": the root, /home
// and the volumes backed by a device or a network share, from the text of
// /proc/self/mountinfo.  Pseudo file systems are left out.
std::vector<std::string> MountedDrives(std::string_view mountInfo);

// The special-folders rows in listing order (".." first), before sorting.
// getEnv looks a variable up (null when unset); userDirs is the text of
// the user's user-dirs.dirs file.
using FGetEnv = std::function<const char*(const char*)>;
std::vector<CListItem> SpecialFolderItems(const FGetEnv& getEnv, std::string_view userDirs);

// The context menu an item gets: none for drives, domains and "..", the
// folder menu for other folders, the file menu for everything else (files,
// servers, shares and "(no files found)" alike).
enum class EMenu { None, File, Folder };
EMenu ContextMenuKind(const CListItem& item);

// An environment variable by its name in any letter case, as the variables
// of the special-folders list are looked up.
const char* GetEnvAnyCase(const char* name);

}  // namespace quiddity
