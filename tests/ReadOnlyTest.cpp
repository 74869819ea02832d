// The read-only promise: inspecting a file changes nothing about it, not
// even its access time, which backups and forensic timelines rely on.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <vector>

#include "TestSupport.h"
#include "report/InfoReport.h"

using namespace quiddity;
using quiddity::test::CRecordingPane;
using quiddity::test::CTempDir;

namespace fs = std::filesystem;

namespace {

// 2001-09-09, long before any fixture was written: a read under relatime
// would move an access time older than the modification time.
constexpr time_t kPastAccessTime = 1000000000;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool SameTime(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

bool SetAccessTimeIntoThePast(const fs::path& path) {
    const timespec times[2] = {{kPastAccessTime, 0}, {0, UTIME_OMIT}};
    return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

// Whether an ordinary read moves the access time on this file system; on a
// noatime mount the access-time comparison proves nothing.
bool ReadsMoveAccessTime(const CTempDir& dir) {
    const fs::path probe = dir.Write("atime-probe", "bytes\n");
    if (!SetAccessTimeIntoThePast(probe)) return false;
    ReadAll(probe);
    struct stat st {};
    return ::stat(probe.c_str(), &st) == 0 && st.st_atim.tv_sec != kPastAccessTime;
}

// A literal that can only be an fopen mode, and asks for writing.
bool IsWritingMode(const std::string& literal) {
    return !literal.empty() && literal.find_first_not_of("rwabx+ce") == std::string::npos &&
           literal.find_first_of("wa+") != std::string::npos;
}

}  // namespace

// Inspected files are opened only through CReadOnlyFile.  Any other open in
// the program must be for reading and say on its line (or the line above)
// why it is not an inspected file, with a "read-only:" comment.
TEST(ReadOnly, SourcesOpenNothingForWriting) {
    const std::regex literal(R"re("((?:[^"\\]|\\.)*)"|'(?:[^'\\]|\\.)*')re");
    const std::regex writes(
        R"re(\b(ofstream|fstream|creat|truncate|ftruncate|O_WRONLY|O_RDWR|O_CREAT|O_TRUNC|O_APPEND)\b)re");
    const std::regex opens(R"re(\bifstream\b|\bunzOpen|\b(fopen|fopen64|freopen|open|open64|openat)\s*\()re");
    const std::regex qtWriteModes(R"re(\b(WriteOnly|ReadWrite|Append|Truncate)\b)re");
    const fs::path root = fs::path(QUIDDITY_FIXTURES).parent_path().parent_path();
    std::size_t sources = 0;
    bool sawReadOnlyFile = false;
    for (const char* folder : {"core", "recognizer", "executable", "formats", "cli", "window"}) {
        if (!fs::is_directory(root / folder)) continue;
        for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
            const std::string ext = entry.path().extension();
            const bool test = entry.path().string().find("/tests/") != std::string::npos;  // tests write their inputs
            if (!entry.is_regular_file() || test || (ext != ".cpp" && ext != ".h")) continue;
            ++sources;
            const bool isReadOnlyFile = entry.path().filename() == "ReadOnlyFile.cpp";
            sawReadOnlyFile = sawReadOnlyFile || isReadOnlyFile;
            std::ifstream in(entry.path());
            std::string previous;
            for (std::string line; std::getline(in, line); previous = line) {
                const std::size_t first = line.find_first_not_of(" \t");
                if (first != std::string::npos && line[first] == '#') continue;  // #include <fstream> opens nothing
                // The code without its literals and its comment.
                std::string code = std::regex_replace(line, literal, "\"\"");
                code = code.substr(0, code.find("//"));
                const std::string where = entry.path().string() + ": " + line;
                EXPECT_FALSE(std::regex_search(code, writes)) << where;
                if (!std::regex_search(code, opens)) continue;
                EXPECT_FALSE(std::regex_search(code, qtWriteModes)) << where;
                for (std::sregex_iterator it(line.begin(), line.end(), literal), end; it != end; ++it)
                    EXPECT_FALSE((*it)[1].matched && IsWritingMode((*it)[1])) << where;
                const bool explained = (line + previous).find("read-only:") != std::string::npos;
                EXPECT_TRUE(isReadOnlyFile || explained) << "open an inspected file with CReadOnlyFile: " << where;
            }
        }
    }
    EXPECT_GT(sources, 10u);
    EXPECT_TRUE(sawReadOnlyFile);
}

// Every fixture, copied so that no other test's reads move its times, gets
// the full report; afterwards its bytes, size and times are what they were.
TEST(ReadOnly, InspectingEveryFixtureChangesNothing) {
    CTempDir dir;
    const fs::path copies = dir.Path("fixtures");
    ASSERT_EQ(std::system(("cp -R '" + std::string(QUIDDITY_FIXTURES) + "' '" + copies.string() + "'").c_str()), 0);
    const bool atimeObservable = ReadsMoveAccessTime(dir);

    struct CFileState {
        fs::path path;
        std::string bytes;
        struct stat st {};
    };
    std::vector<CFileState> files;
    for (const auto& entry : fs::recursive_directory_iterator(copies)) {
        if (!entry.is_regular_file()) continue;
        CFileState state{entry.path(), ReadAll(entry.path())};
        ASSERT_TRUE(SetAccessTimeIntoThePast(entry.path())) << entry.path();
        ASSERT_EQ(::stat(entry.path().c_str(), &state.st), 0);
        files.push_back(std::move(state));
    }
    ASSERT_GE(files.size(), 5u);

    for (const CFileState& file : files) {
        CRecordingPane pane;
        const CReportResult result = CFileInspector(file.path.filename(), file.path.parent_path().string() + "/",
                                                    pane, InitTextStyles(), CReportSwitches{})
                                         .BuildInfoReport();
        EXPECT_EQ(result.nOpenError, 0) << file.path;
    }

    for (const CFileState& file : files) {
        SCOPED_TRACE(file.path.string());
        struct stat after {};
        ASSERT_EQ(::stat(file.path.c_str(), &after), 0);
        EXPECT_EQ(after.st_size, file.st.st_size);
        EXPECT_TRUE(SameTime(after.st_mtim, file.st.st_mtim));
        EXPECT_TRUE(SameTime(after.st_ctim, file.st.st_ctim));  // no chmod, rename or write either
        EXPECT_TRUE(!atimeObservable || SameTime(after.st_atim, file.st.st_atim)) << "access time moved";
        EXPECT_TRUE(ReadAll(file.path) == file.bytes) << "bytes changed";
    }
}
