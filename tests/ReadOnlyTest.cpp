// The read-only promise: inspecting a file changes nothing about it, not
// even its access time, which backups and forensic timelines rely on.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
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

}  // namespace

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
