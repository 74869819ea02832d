// The read-only promise: inspecting a file changes nothing about it, not
// even its access time, which backups and forensic timelines rely on.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <initializer_list>
#include <fstream>
#include <iterator>
#include <vector>

#include "TestSupport.h"
#include "core/InfoReport.h"

using namespace quiddity;
using quiddity::test::CRecordingPane;
using quiddity::test::CTempDir;
using quiddity::test::RunCommand;

namespace fs = std::filesystem;

namespace {

// 2001-09-09, long before any fixture was written: a read under relatime
// would move an access time older than the modification time.
constexpr time_t kPastAccessTime = 1000000000;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct CFileState {
    std::string bytes;
    struct stat st {};
};

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

// Product sources: every folder of the program, none of the tests.
std::vector<fs::path> ProductSources() {
    const fs::path root = fs::path(QUIDDITY_FIXTURES).parent_path().parent_path();
    std::vector<fs::path> sources;
    for (const char* folder : {"core", "recognizer", "executable", "formats", "cli", "window"}) {
        if (!fs::is_directory(root / folder)) continue;
        for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
            const std::string ext = entry.path().extension();
            const bool test = entry.path().string().find("/tests/") != std::string::npos;  // tests write their inputs
            if (entry.is_regular_file() && !test && (ext == ".cpp" || ext == ".h")) sources.push_back(entry.path());
        }
    }
    return sources;
}

// A line of C++ cut into its words, with the texts of its string literals
// apart; comments are dropped.
struct CSourceLine {
    std::vector<std::string> words;
    std::vector<char> after;  // the first non-blank character after each word
    std::vector<std::string> literals;
};

CSourceLine Scan(const std::string& line) {
    CSourceLine scanned;
    const auto isWordStart = [](char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; };
    const auto isWordPart = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; };
    std::size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == '/' && i + 1 < line.size() && line[i + 1] == '/') break;
        if (c == '"' || c == '\'') {
            std::string literal;
            for (++i; i < line.size() && line[i] != c; ++i) {
                if (line[i] == '\\' && i + 1 < line.size()) ++i;
                literal += line[i];
            }
            ++i;
            if (c == '"') scanned.literals.push_back(literal);
        } else if (isWordStart(c)) {
            const std::size_t start = i;
            while (i < line.size() && isWordPart(line[i])) ++i;
            scanned.words.push_back(line.substr(start, i - start));
            std::size_t next = i;
            while (next < line.size() && line[next] == ' ') ++next;
            scanned.after.push_back(next < line.size() ? line[next] : '\0');
        } else {
            ++i;
        }
    }
    return scanned;
}

bool IsOneOf(const std::string& word, std::initializer_list<const char*> words) {
    return std::any_of(words.begin(), words.end(), [&](const char* w) { return word == w; });
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
    const std::vector<fs::path> sources = ProductSources();
    ASSERT_GT(sources.size(), 10u);
    bool sawReadOnlyFile = false;
    for (const fs::path& source : sources) {
        std::ifstream in(source);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        const bool isReadOnlyFile = source.filename() == "ReadOnlyFile.cpp";
        sawReadOnlyFile = sawReadOnlyFile || isReadOnlyFile;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const std::size_t first = lines[i].find_first_not_of(" \t");
            if (first != std::string::npos && lines[i][first] == '#') continue;  // #include <fstream> opens nothing
            const CSourceLine line = Scan(lines[i]);
            const std::string where = source.string() + ":" + std::to_string(i + 1) + ": " + lines[i];
            bool opens = false;
            for (std::size_t w = 0; w < line.words.size(); ++w) {
                const std::string& word = line.words[w];
                EXPECT_FALSE(IsOneOf(word, {"ofstream", "fstream", "creat", "truncate", "ftruncate", "O_WRONLY",
                                            "O_RDWR", "O_CREAT", "O_TRUNC", "O_APPEND"}))
                    << where;
                const bool call = line.after[w] == '(';
                opens = opens || word == "ifstream" || word.rfind("unzOpen", 0) == 0 ||
                        (call && IsOneOf(word, {"fopen", "fopen64", "freopen", "open", "open64", "openat"}));
            }
            if (!opens) continue;
            for (const std::string& word : line.words)  // Qt's open modes
                EXPECT_FALSE(IsOneOf(word, {"WriteOnly", "ReadWrite", "Append", "Truncate"})) << where;
            for (const std::string& literal : line.literals) EXPECT_FALSE(IsWritingMode(literal)) << where;
            const bool explained = lines[i].find("read-only:") != std::string::npos ||
                                   (i > 0 && lines[i - 1].find("read-only:") != std::string::npos);
            EXPECT_TRUE(isReadOnlyFile || explained) << "open an inspected file with CReadOnlyFile: " << where;
        }
    }
    EXPECT_TRUE(sawReadOnlyFile);
}

// Every fixture, copied so that no other test's reads move its times, gets
// the full report and the type line; afterwards its bytes, size and times
// are what they were.
TEST(ReadOnly, InspectingEveryFixtureChangesNothing) {
    CTempDir dir;
    const fs::path copies = dir.Path("fixtures");
    ASSERT_EQ(std::system(("cp -R '" + std::string(QUIDDITY_FIXTURES) + "' '" + copies.string() + "'").c_str()), 0);
    const bool atimeObservable = ReadsMoveAccessTime(dir);
    if (!atimeObservable) std::cerr << "note: this file system does not move access times; only bytes, size and mtime are checked\n";

    std::vector<std::pair<fs::path, CFileState>> files;
    for (const auto& entry : fs::recursive_directory_iterator(copies)) {
        if (!entry.is_regular_file()) continue;
        CFileState state;
        state.bytes = ReadAll(entry.path());
        ASSERT_TRUE(SetAccessTimeIntoThePast(entry.path())) << entry.path();
        ASSERT_EQ(::stat(entry.path().c_str(), &state.st), 0);
        files.emplace_back(entry.path(), std::move(state));
    }
    ASSERT_GE(files.size(), 5u);

    std::string list;
    for (const auto& [path, state] : files) {
        CRecordingPane pane;
        CFileInspector inspector(path.filename(), path.parent_path().string() + "/", pane, InitTextStyles(),
                                 CReportSwitches{});
        inspector.BuildInfoReport();
        EXPECT_TRUE(inspector.Opened()) << path;
        list += path.string() + "\n";
    }
    dir.Write("list", list);
    int status = -1;
    RunCommand(std::string(QUIDDITY_PROGRAM) + " -t -f '" + dir.Path("list") + "' >/dev/null 2>&1", &status);
    EXPECT_EQ(status, 0);

    for (const auto& [path, state] : files) {
        SCOPED_TRACE(path.string());
        struct stat after {};
        ASSERT_EQ(::stat(path.c_str(), &after), 0);
        EXPECT_EQ(after.st_size, state.st.st_size);
        EXPECT_TRUE(SameTime(after.st_mtim, state.st.st_mtim));
        EXPECT_TRUE(SameTime(after.st_ctim, state.st.st_ctim));  // no chmod, rename or write either
        if (atimeObservable) {
            EXPECT_TRUE(SameTime(after.st_atim, state.st.st_atim)) << "access time moved";
        }
        EXPECT_TRUE(ReadAll(path) == state.bytes) << "bytes changed";
    }
}
