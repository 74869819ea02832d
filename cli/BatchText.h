// The text of batch mode: the lists of paths it reads and the "PATH: TYPE"
// lines it writes, kept apart from the program so that fuzzing reaches them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quiddity {

// Longer lines of a path list are refused: far beyond the longest path the
// kernel opens (PATH_MAX, 4096 bytes).
inline constexpr std::size_t kMaxListLine = 1 << 16;

// Splits a list of paths, one per line, as its bytes arrive; empty lines
// are skipped.  A zero byte or an endless line (a device or a binary file
// given as the list) refuses the rest instead of filling the memory.
class CPathListParser {
public:
    explicit CPathListParser(std::vector<std::string>& paths) : m_paths(paths) {}
    // Returns false once the list is refused.
    bool Add(std::string_view bytes);
    // Takes the last line when it has no line end.
    void Finish();
    // The line being read: the refused one after a refusal.
    std::size_t LineNumber() const { return m_nLine; }

private:
    std::vector<std::string>& m_paths;
    std::string m_strPath;
    std::size_t m_nLine = 1;
    bool m_bRefused = false;
};

// Appends "PATH: TYPE" and a line end: one line whatever the name or the
// type holds, with no byte that a terminal would obey.
void AppendTypeLine(std::string& out, std::string_view path, std::string_view type);

}  // namespace quiddity
