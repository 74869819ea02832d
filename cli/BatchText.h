// The text of batch mode: the lists of paths it reads, the "PATH: TYPE"
// lines it writes and the names of items that are no regular files, kept
// apart from the program so that tests and fuzzing reach them.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quiddity {

// Longer lines of a path list are refused: far beyond the longest path the
// kernel opens (PATH_MAX, 4096 bytes).
inline constexpr std::size_t kMaxListLine = 1 << 16;

// Splits a list of paths, one per line, as its bytes arrive; empty lines
// are skipped.  A zero byte or an endless line (a device or a binary file
// given as the list) refuses the rest instead of filling the memory.  A
// list of NUL-ended names (separator '\0', as find -print0 writes it)
// takes every other byte, newlines too, into the names.
class CPathListParser {
public:
    explicit CPathListParser(std::vector<std::string>& paths, char separator = '\n')
        : m_paths(paths), m_separator(separator) {}
    // Returns false once the list is refused.
    bool Add(std::string_view bytes);
    // Takes the last line when it has no line end.
    void Finish();
    // The line being read: the refused one after a refusal.
    std::size_t LineNumber() const { return m_nLine; }

private:
    std::vector<std::string>& m_paths;
    char m_separator;
    std::string m_strPath;
    std::size_t m_nLine = 1;
    bool m_bRefused = false;
};

enum class ETypeLine {
    Named,   // "PATH: TYPE"
    Brief,   // "TYPE"
    Print0,  // the path as it is, a NUL, then ": TYPE", as file -0 writes it
};

// Appends one line and its line end: one line whatever the name or the
// type holds, with no byte that a terminal would obey, except the path of
// a Print0 line, which is kept byte for byte for the program that splits it.
void AppendTypeLine(std::string& out, std::string_view path, std::string_view type,
                    ETypeLine shape = ETypeLine::Named);

// The type of an item that is not a regular file or a folder, as file(1)
// names it: "fifo (named pipe)", "socket", "character special (1/3)",
// "broken symbolic link to TARGET"...  linkStat is the item's lstat; a
// link is named by what it points to (a link to a FIFO is a FIFO), a link
// to a folder as "symbolic link to TARGET".  Returns false for regular
// files, folders and links to regular files.
bool NameSpecialItem(const std::string& path, const struct stat& linkStat, std::string& out);

// The MIME type the desktop gives an item that has no bytes to read:
// "inode/directory", "inode/fifo", "inode/symlink" (a broken link or one
// to a folder)...; empty for regular files.
std::string_view SpecialMimeType(const std::string& path, const struct stat& linkStat);

// Standard input in memory, up to a cap: beyond it the input is refused
// rather than held.
inline constexpr std::size_t kMaxStandardInput = std::size_t{256} << 20;
enum class EReadInput { Ok, Failed, TooLarge };
// Reads fd to its end into bytes (at most cap bytes); errno tells why a
// read failed.
EReadInput ReadWholeInput(int fd, std::size_t cap, std::vector<std::uint8_t>& bytes);

}  // namespace quiddity
