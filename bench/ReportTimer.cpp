// Times the full information report of each file given, in this process, so
// that process start-up is not counted: each file's report is written once
// to warm the caches, then repeated, and the median of the repeats is its
// time.  Prints one line per file (microseconds, path), then the median and
// the worst of those times.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "report/InfoReport.h"
#include "core/TextPanes.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kMinimumRepeats = 5;
constexpr int kMaximumRepeats = 101;
constexpr auto kTimePerFile = std::chrono::milliseconds(200);  // stop repeating a slow file sooner

double ReportMicroseconds(const std::string& path, quiddity::CPlainTextPane& pane) {
    std::string folder;
    std::string name;
    quiddity::SplitInspectedPath(path, folder, name);
    const auto once = [&] {
        const Clock::time_point start = Clock::now();
        quiddity::CFileInspector inspector(name, folder, pane, quiddity::InitTextStyles(), quiddity::CReportSwitches{});
        inspector.BuildInfoReport();
        const double micros = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
        pane.Clear();
        return micros;
    };
    once();
    std::vector<double> times;
    const Clock::time_point begin = Clock::now();
    while (static_cast<int>(times.size()) < kMinimumRepeats ||
           (static_cast<int>(times.size()) < kMaximumRepeats && Clock::now() - begin < kTimePerFile))
        times.push_back(once());
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: quiddity_report_timer FILE...\n", stderr);
        return 2;
    }
    quiddity::CPlainTextPane pane;
    std::vector<std::pair<double, std::string>> times;
    for (int i = 1; i < argc; ++i) {
        times.emplace_back(ReportMicroseconds(argv[i], pane), argv[i]);
        std::printf("%10.1f us  %s\n", times.back().first, argv[i]);
    }
    std::sort(times.begin(), times.end());
    std::printf("median %.3f ms, worst %.3f ms (%s), over %zu files\n", times[times.size() / 2].first / 1000,
                times.back().first / 1000, times.back().second.c_str(), times.size());
    return 0;
}
