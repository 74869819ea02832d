#include "window/Locations.h"

#include "core/TextFormat.h"

#include <QCollator>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numeric>

extern char** environ;

namespace quiddity {

namespace {


std::string Lowered(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = quiddity::LowerAscii(c);
    return out;
}

// A Size text taken apart once, so that sorting does not parse it again for
// every comparison.
struct SizeKey {
    std::string lowered;
    long long number;
};

SizeKey MakeSizeKey(std::string_view text) {
    SizeKey key{Lowered(text), 0};
    key.number = std::strtoll(key.lowered.c_str(), nullptr, 10);
    return key;
}

bool EndsWith(const std::string& text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

int CompareSizeKeys(const SizeKey& a, const SizeKey& b) {
    if (a.lowered == b.lowered) return 0;
    if (a.lowered.size() < 3 || b.lowered.size() < 3) return 0;
    if (a.lowered.compare(a.lowered.size() - 2, 2, b.lowered, b.lowered.size() - 2, 2) == 0)
        return a.number > b.number ? 1 : (a.number == b.number ? 0 : -1);
    if (EndsWith(a.lowered, "kb")) return -1;
    if (EndsWith(b.lowered, "kb")) return 1;
    if (EndsWith(a.lowered, "mb")) return -1;
    return EndsWith(b.lowered, "mb") ? 1 : 0;
}

std::string Trimmed(std::string_view text, std::string_view characters) {
    const std::size_t first = text.find_first_not_of(characters);
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(characters);
    return std::string(text.substr(first, last - first + 1));
}

// mountinfo writes blanks, tabs, newlines and backslashes as \ooo.
std::string UnescapeMountField(std::string_view field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const std::string digits(field.substr(i + 1, 3));
            if (digits.find_first_not_of("01234567") == std::string::npos) {
                out.push_back(static_cast<char>(std::strtol(digits.c_str(), nullptr, 8)));
                i += 3;
                continue;
            }
        }
        out.push_back(field[i]);
    }
    return out;
}

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (start < line.size()) {
        const std::size_t end = std::min(line.find(' ', start), line.size());
        if (end > start) fields.push_back(line.substr(start, end - start));
        start = end + 1;
    }
    return fields;
}

bool IsNetworkFileSystem(std::string_view type) {
    static constexpr std::array<std::string_view, 6> kNetwork{"nfs", "nfs4", "cifs", "smb3", "smbfs", "sshfs"};
    return std::find(kNetwork.begin(), kNetwork.end(), type) != kNetwork.end() || type.starts_with("fuse.sshfs");
}

bool IsDirectory(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

int CompareSizeTexts(std::string_view a, std::string_view b) { return CompareSizeKeys(MakeSizeKey(a), MakeSizeKey(b)); }

void SortItems(std::vector<CListItem>& items, int sortMode, bool descending) {
    // Names in natural order: digits as numbers ("8" before "7950"), letters
    // without regard to case.  Keys are made once, not at every comparison.
    const bool sorts = sortMode == kSortByName || sortMode == kSortByType || sortMode == kSortBySize ||
                       sortMode == kSortByLabel;
    // The C locale's collation is plain code order, without numbers or case:
    // there the list sorts as in English (the common Unicode order).
    const QLocale system = QLocale::system();
    QCollator collator(system.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates) : system);
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    // Each row's place in that order, found once: the name sort is then a
    // sort of numbers, and so is every tie of the other keys.
    std::vector<std::uint32_t> nameRank(items.size());
    if (sorts) {
        std::vector<QCollatorSortKey> keys;
        keys.reserve(items.size());
        for (const CListItem& item : items) keys.push_back(collator.sortKey(QString::fromUtf8(item.name)));
        std::vector<std::uint32_t> byName(items.size());
        std::iota(byName.begin(), byName.end(), 0u);
        std::stable_sort(byName.begin(), byName.end(),
                         [&](std::uint32_t a, std::uint32_t b) { return keys[a].compare(keys[b]) < 0; });
        for (std::uint32_t rank = 0; rank < byName.size(); ++rank) nameRank[byName[rank]] = rank;
    }
    std::vector<std::string> texts;  // the Type or label column, without case
    std::vector<SizeKey> sizes;
    if (sortMode == kSortByType || sortMode == kSortByLabel) {
        for (const CListItem& item : items) texts.push_back(Lowered(sortMode == kSortByType ? item.type : item.size));
    } else if (sortMode == kSortBySize) {
        for (const CListItem& item : items) sizes.push_back(MakeSizeKey(item.size));
    }
    // The row's group: ".." first, then the folders, then everything else.
    std::vector<std::uint8_t> groups;
    groups.reserve(items.size());
    for (const CListItem& item : items) groups.push_back(item.name == ".." ? 0 : item.type == kTypeDir ? 1 : 2);
    auto compare = [&](std::uint32_t a, std::uint32_t b) {
        if (!sorts) return 0;
        int order = 0;
        if (!texts.empty()) order = texts[a].compare(texts[b]);
        else if (!sizes.empty()) order = CompareSizeKeys(sizes[a], sizes[b]);
        if (order == 0) order = nameRank[a] < nameRank[b] ? -1 : nameRank[a] > nameRank[b];  // rows the key leaves equal
        return descending ? -order : order;
    };
    std::vector<std::uint32_t> order(items.size());
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        if (groups[a] != groups[b]) return groups[a] < groups[b];
        return compare(a, b) < 0;
    });
    std::vector<CListItem> sorted;
    sorted.reserve(items.size());
    for (const std::uint32_t i : order) sorted.push_back(std::move(items[i]));
    items = std::move(sorted);
}

bool ReadFolderItems(const std::string& folder, std::vector<CListItem>& items) {
    items.clear();
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return false;
    const int dirFd = ::dirfd(dir);
    std::size_t folders = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name == ".") continue;
        struct stat st {};
        bool isDir = entry->d_type == DT_DIR;
        std::uint64_t size = 0;
        // Links are followed, as the file search does; a broken link is
        // listed as the link itself.
        if (entry->d_type != DT_DIR) {
            if (::fstatat(dirFd, entry->d_name, &st, 0) == 0 || ::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
                isDir = S_ISDIR(st.st_mode);
                size = static_cast<std::uint64_t>(st.st_size);
            }
        }
        if (isDir) {
            items.insert(items.begin() + static_cast<std::ptrdiff_t>(folders++), CListItem{std::string(name), std::string(kTypeDir), {}});
            continue;
        }
        items.push_back(FileItem(name, size));
    }
    ::closedir(dir);
    return !items.empty();
}

std::vector<std::string> MountedDrives(std::string_view mountInfo) {
    std::vector<std::string> drives{"/"};
    std::size_t start = 0;
    while (start < mountInfo.size()) {
        const std::size_t end = std::min(mountInfo.find('\n', start), mountInfo.size());
        const std::vector<std::string_view> fields = SplitFields(mountInfo.substr(start, end - start));
        start = end + 1;
        // id parent major:minor root mount-point options [optional...] - type source super-options
        const auto separator = std::find(fields.begin(), fields.end(), "-");
        if (fields.size() < 5 || separator == fields.end() || fields.end() - separator < 3) continue;
        const std::string mountPoint = UnescapeMountField(fields[4]);
        const std::string_view type = separator[1];
        const std::string_view source = separator[2];
        const bool wanted = mountPoint == "/home" || source.starts_with("/dev/") || IsNetworkFileSystem(type);
        if (!wanted || type == "squashfs" || mountPoint.starts_with("/proc") || mountPoint.starts_with("/sys") ||
            mountPoint.starts_with("/dev") || mountPoint == "/")
            continue;
        // Single files bound over others (a container's /etc/hosts) are no volumes.
        if (!IsDirectory(mountPoint)) continue;
        const std::string drive = mountPoint + "/";
        if (std::find(drives.begin(), drives.end(), drive) == drives.end()) drives.push_back(drive);
    }
    return drives;
}

const char* GetEnvAnyCase(const char* name) {
    const std::size_t length = std::strlen(name);
    for (char** variable = environ; variable != nullptr && *variable != nullptr; ++variable) {
        if (::strncasecmp(*variable, name, length) == 0 && (*variable)[length] == '=') return *variable + length + 1;
    }
    return nullptr;
}

std::vector<CListItem> SpecialFolderItems(const FGetEnv& getEnv, std::string_view userDirs) {
    std::vector<CListItem> items{{"..", std::string(kTypeDir), {}}};
    auto insert = [&](std::string path, std::string label) {
        items.insert(items.begin() + 1, CListItem{std::move(path), std::string(kTypeDir), std::move(label)});
    };
    auto value = [&](const char* name) -> std::string {
        const char* text = getEnv(name);
        return text ? text : "";
    };

    // The classic variables first, then those of a Linux desktop.
    static constexpr std::array<const char*, 31> kVariables{
        "systemroot", "windir", "AllUsersProfile", "AppData", "CommonProgramFiles", "ProgramFiles", "ProgramData",
        "homeshare", "temp", "tmp", "UserProfile", "servername", "tns_admin", "vscomntools", "lib", "include",
        "os2libpath", "vmpath", "vcscm_home", "orahome", "vcs_root", "vcs_home", "perl5lib", "jserv", "tcl_library",
        "ebu_home", "HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "TMPDIR"};
    for (const char* name : kVariables) {
        const std::string path = Trimmed(value(name), "\"; ");
        if (!path.empty()) insert(path, "%" + std::string(name) + "%");
    }
    if (const std::string root = value("systemroot"); !root.empty()) insert(root + "/system32", "system32");
    if (const std::string home = value("homedrive") + value("homepath"); !home.empty())
        insert(home, "%homedrive%%homepath%");

    const std::string path = value("path");
    int piece = 0;
    for (std::size_t start = 0; start < path.size();) {
        const std::size_t end = std::min(path.find(':', start), path.size());
        const std::string folder = path.substr(start, end - start);
        start = end + 1;
        if (folder.empty()) continue;
        const int number = piece++;
        if (folder != ".") insert(folder, "Path (" + std::to_string(number) + ")");
    }

    // The desktop's own folders, as user-dirs.dirs names them.
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 6> kUserDirs{{
        {"XDG_DESKTOP_DIR", "Desktop"}, {"XDG_DOCUMENTS_DIR", "Documents"}, {"XDG_DOWNLOAD_DIR", "Downloads"},
        {"XDG_MUSIC_DIR", "Music"}, {"XDG_PICTURES_DIR", "Pictures"}, {"XDG_VIDEOS_DIR", "Videos"},
    }};
    const std::string home = value("HOME");
    for (std::size_t start = 0; start < userDirs.size();) {
        const std::size_t end = std::min(userDirs.find('\n', start), userDirs.size());
        const std::string_view line = userDirs.substr(start, end - start);
        start = end + 1;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        const std::string_view key = line.substr(0, equals);
        const auto known = std::find_if(kUserDirs.begin(), kUserDirs.end(), [&](const auto& entry) { return entry.first == key; });
        if (known == kUserDirs.end()) continue;
        std::string folder = Trimmed(line.substr(equals + 1), "\"");
        if (folder.starts_with("$HOME")) folder = home + folder.substr(5);
        while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
        // A disabled folder is set to the home folder itself.
        if (!folder.empty() && folder != home) insert(folder, std::string(known->second));
    }
    return items;
}

EMenu ContextMenuKind(const CListItem& item) {
    if (item.name == ".." || item.type == kTypeDrive || item.type == kTypeDomain) return EMenu::None;
    return item.type == kTypeDir ? EMenu::Folder : EMenu::File;
}

}  // namespace quiddity
