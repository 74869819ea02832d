#include "cli/Progress.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include "core/TextFormat.h"
#include "report/InfoReport.h"

namespace quiddity {

namespace {

constexpr auto kQuietStart = std::chrono::seconds(1);
constexpr auto kRedrawEvery = std::chrono::milliseconds(200);
constexpr std::size_t kDefaultWidth = 80;
// The line stays one column short of the width: a terminal that wraps at
// the last column would push the next redraw onto a line of its own.
constexpr std::size_t kMinimumWidth = 20;

}  // namespace

CProgress::CProgress(bool enabled, std::FILE* out, std::size_t width)
    : m_bEnabled(enabled), m_pOut(out), m_nWidth(std::max(width, kMinimumWidth)) {}

void CProgress::Done(std::string_view folder, Clock::time_point now) {
    ++m_nFiles;
    if (!m_bEnabled || now - m_start < kQuietStart || (m_bShown && now - m_lastDrawn < kRedrawEvery)) return;
    const double seconds = std::chrono::duration<double>(now - m_start).count();
    const std::string line = LineText(m_nFiles, seconds, folder, m_nWidth);
    std::fprintf(m_pOut, "\r%s\x1b[K", line.c_str());
    std::fflush(m_pOut);
    m_lastDrawn = now;
    m_bShown = true;
}

void CProgress::Erase() {
    if (!m_bShown) return;
    std::fputs("\r\x1b[K", m_pOut);
    std::fflush(m_pOut);
    m_bShown = false;
}

std::string CProgress::LineText(std::size_t files, double seconds, std::string_view folder, std::size_t width) {
    const double rate = seconds > 0 ? static_cast<double>(files) / seconds : 0;
    std::string line = Format("%zu files, %.0f files/s, ", files, rate);
    const std::string shown = EscapeControlCharacters(folder);
    const std::size_t room = width - 1 > line.size() ? width - 1 - line.size() : 0;
    // A long folder keeps its end, the part that changes.
    if (shown.size() <= room) line += shown;
    else if (room > 3) line += "..." + shown.substr(shown.size() - (room - 3));
    return line;
}

bool ProgressWanted(std::size_t& width) {
    width = kDefaultWidth;
    // Output on the same terminal is its own progress.
    if (::isatty(STDERR_FILENO) == 0 || ::isatty(STDOUT_FILENO) != 0) return false;
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) width = size.ws_col;
    return true;
}

}  // namespace quiddity
