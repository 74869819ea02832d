// One updating line on standard error for long runs: files done, files per
// second and the folder being read.  It appears only after the first
// second, is redrawn a few times a second at most, and is erased at the end
// or before any other message.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

namespace quiddity {

class CProgress {
public:
    using Clock = std::chrono::steady_clock;

    // A disabled progress writes nothing; out is where the line goes.
    CProgress(bool enabled, std::FILE* out, std::size_t width);
    ~CProgress() { Erase(); }
    CProgress(const CProgress&) = delete;
    CProgress& operator=(const CProgress&) = delete;

    // One more item, in folder; now is passed for the tests' sake.
    void Done(std::string_view folder, Clock::time_point now = Clock::now());
    // Takes the line away (before a message, and at the end).
    void Erase();

    // The text of the line, cut to width columns.
    static std::string LineText(std::size_t files, double seconds, std::string_view folder, std::size_t width);

private:
    bool m_bEnabled;
    std::FILE* m_pOut;
    std::size_t m_nWidth;
    std::size_t m_nFiles = 0;
    Clock::time_point m_start = Clock::now();
    Clock::time_point m_lastDrawn{};
    bool m_bShown = false;
};

// Whether standard error is a terminal that should show progress, and its
// width in columns.
bool ProgressWanted(std::size_t& width);

}  // namespace quiddity
