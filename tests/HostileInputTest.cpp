// Items that are not ordinary files, files at the edges of what the
// recognizer reads, and names that are hard to print: each must get its
// message or section, return at once and never crash, through the program
// (under `timeout`, so a block fails instead of hanging) and through the
// inspector in this process.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <span>
#include <fstream>

#include "TestSupport.h"
#include "core/InfoReport.h"
#include "recognizer/Recognizer.h"

using namespace quiddity;
using quiddity::test::CRecordingPane;
using quiddity::test::CTempDir;
using quiddity::test::RunCommand;

namespace {

constexpr const char* kUnopened = "(couldn't open the file)";
// Long enough for the slowest sanitizer build, short enough to fail a block.
constexpr int kTimeoutSeconds = 20;
constexpr int kTimedOut = 124;  // the status timeout(1) gives a command it stopped

std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        if (c == '\'') quoted += "'\\''";
        else quoted += c;
    }
    return quoted + "'";
}

// Runs the program with its standard error thrown away.
std::string Quiddity(const std::string& arguments, int* status) {
    return RunCommand("timeout " + std::to_string(kTimeoutSeconds) + " " + QUIDDITY_PROGRAM + " " + arguments +
                          " 2>/dev/null",
                      status);
}

struct CInspection {
    CRecordingPane pane;
    std::string type;
    bool opened = false;
};

CInspection Inspect(const std::string& folder, const std::string& name) {
    CInspection result;
    CFileInspector inspector(name, folder, result.pane, InitTextStyles(), CReportSwitches{});
    inspector.BuildInfoReport();
    result.type = inspector.TypeText();
    result.opened = inspector.Opened();
    return result;
}

// Bytes this process has read through read(2) and pread(2) so far.
std::uint64_t BytesReadByThisProcess() {
    std::ifstream io("/proc/self/io");
    std::string key;
    std::uint64_t value = 0;
    while (io >> key >> value)
        if (key == "rchar:") return value;
    return 0;
}

// The line that starts with label, without its line break; empty if none.
std::string LineStarting(const std::string& text, const std::string& label) {
    const std::size_t at = text.find(label);
    if (at == std::string::npos) return {};
    return text.substr(at, text.find('\n', at) - at);
}

// A special item is named, its type says it was not opened, and the run
// counts as done: it was inspected, there is just nothing to read.
void ExpectNotOpenedButReported(const std::string& path) {
    SCOPED_TRACE(path);
    int status = -1;
    EXPECT_EQ(Quiddity("-t " + Quote(path), &status), path + ": " + kUnopened + "\n");
    EXPECT_EQ(status, 0);
    const std::string report = Quiddity(Quote(path), &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(report.rfind("\nFile info\n", 0), 0u);
    EXPECT_NE(report.find(std::string("Type: ") + kUnopened + "\n"), std::string::npos);

    std::string folder;
    std::string name;
    SplitInspectedPath(path, folder, name);
    const CInspection r = Inspect(folder, name);
    EXPECT_FALSE(r.opened);
    EXPECT_EQ(r.type, kUnopened);
    EXPECT_EQ(r.pane.ended, 1);
}

}  // namespace

TEST(HostileInput, FifoAndSocketAreNeverOpened) {
    CTempDir dir;
    ASSERT_EQ(::mkfifo(dir.Path("pipe").c_str(), 0600), 0);
    ExpectNotOpenedButReported(dir.Path("pipe"));

    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(sock, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = dir.Path("socket");
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    ASSERT_EQ(::bind(sock, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(sock, 1), 0);  // a listening socket: a connect would succeed and wait
    ExpectNotOpenedButReported(socketPath);
    ::close(sock);
}

TEST(HostileInput, DevicesThatNeverEndOrAreEmpty) {
    ExpectNotOpenedButReported("/dev/zero");
    ExpectNotOpenedButReported("/dev/null");
}

TEST(HostileInput, BrokenAndLoopingLinks) {
    CTempDir dir;
    ASSERT_EQ(::symlink(dir.Path("nowhere").c_str(), dir.Path("dangling").c_str()), 0);
    ASSERT_EQ(::symlink(dir.Path("loop2").c_str(), dir.Path("loop1").c_str()), 0);
    ASSERT_EQ(::symlink(dir.Path("loop1").c_str(), dir.Path("loop2").c_str()), 0);
    ExpectNotOpenedButReported(dir.Path("dangling"));
    ExpectNotOpenedButReported(dir.Path("loop1"));
}

TEST(HostileInput, RecursiveListingPassesEveryKindOfItem) {
    CTempDir dir;
    ASSERT_EQ(::mkfifo(dir.Path("a-pipe").c_str(), 0600), 0);
    ASSERT_EQ(::symlink("b-loop", dir.Path("b-loop").c_str()), 0);  // a link to itself
    ASSERT_EQ(::symlink(".", dir.Path("c-here").c_str()), 0);        // a link back to its folder
    ASSERT_EQ(::mkdir(dir.Path("d-folder").c_str(), 0700), 0);
    dir.Write("d-folder/e-text", "words\n");
    int status = -1;
    EXPECT_EQ(Quiddity("-t -r " + Quote(dir.Path("")), &status),
              dir.Path("a-pipe") + ": " + kUnopened + "\n" + dir.Path("b-loop") + ": " + kUnopened + "\n" +
                  dir.Path("c-here") + ": " + kUnopened + "\n" + dir.Path("d-folder/e-text") + ": Text file\n");
    EXPECT_EQ(status, 0);
}

TEST(HostileInput, FolderGetsOnlyTheFileInformation) {
    CTempDir dir;
    ASSERT_EQ(::mkdir(dir.Path("sub").c_str(), 0700), 0);
    int status = -1;
    EXPECT_EQ(Quiddity("-t " + Quote(dir.Path("sub")), &status), dir.Path("sub") + ": Folder\n");
    EXPECT_EQ(status, 0);
    const std::string report = Quiddity(Quote(dir.Path("sub")), &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(report.rfind("\nFile info\nFile: sub\nPath: " + dir.Folder() + "\n", 0), 0u);
    EXPECT_EQ(report.find("Estimated type"), std::string::npos);
}

TEST(HostileInput, FileThatVanishesBeforeItsInspection) {
    CTempDir dir;
    dir.Write("gone", "words\n");
    CRecordingPane pane;
    CFileInspector inspector("gone", dir.Folder(), pane, InitTextStyles(), CReportSwitches{});
    ASSERT_EQ(::unlink(dir.Path("gone").c_str()), 0);  // listed, then removed
    inspector.BuildInfoReport();
    EXPECT_FALSE(inspector.Opened());
    EXPECT_EQ(inspector.TypeText(), kUnopened);
    EXPECT_NE(pane.Text().find("File: gone\n"), std::string::npos);
    EXPECT_EQ(pane.ended, 1);

    // A list written before the file went: the others are still named, and
    // the missing one is said on standard error and in the exit status.
    dir.Write("here", "words\n");
    dir.Write("list", dir.Path("gone") + "\n" + dir.Path("here") + "\n");
    int status = -1;
    const std::string out = RunCommand("timeout " + std::to_string(kTimeoutSeconds) + " " + QUIDDITY_PROGRAM +
                                           " -t -f " + Quote(dir.Path("list")) + " 2>&1",
                                       &status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(out.find(dir.Path("gone") + ": " + kUnopened + "\n"), std::string::npos);
    EXPECT_NE(out.find("quiddity: " + dir.Path("gone") + ": No such file or directory\n"), std::string::npos);
    EXPECT_NE(out.find(dir.Path("here") + ": Text file\n"), std::string::npos);
}

TEST(HostileInput, UnreadableFileIsReportedAsNotInspected) {
    if (::geteuid() == 0) GTEST_SKIP() << "root may read any file";
    CTempDir dir;
    dir.Write("locked", "words\n");
    ASSERT_EQ(::chmod(dir.Path("locked").c_str(), 0), 0);
    int status = -1;
    const std::string out = RunCommand("timeout " + std::to_string(kTimeoutSeconds) + " " + QUIDDITY_PROGRAM +
                                           " -t " + Quote(dir.Path("locked")) + " 2>&1",
                                       &status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(out.find(dir.Path("locked") + ": " + kUnopened + "\n"), std::string::npos);
    EXPECT_NE(out.find("quiddity: " + dir.Path("locked") + ": Permission denied\n"), std::string::npos);
    const CInspection r = Inspect(dir.Folder(), "locked");
    EXPECT_FALSE(r.opened);
    EXPECT_EQ(r.pane.ended, 1);
}

// The list of paths is read with care too: a device or a binary file given
// as the list is refused at once instead of filling the memory.
TEST(HostileInput, PathListThatIsNoList) {
    CTempDir dir;
    dir.Write("here", "words\n");
    dir.Write("binary-list", dir.Path("here") + "\n" + std::string("\x7F" "ELF\0\0", 6));
    int status = -1;
    for (const std::string& list : {std::string("/dev/zero"), dir.Path("binary-list")}) {
        SCOPED_TRACE(list);
        const std::string out = RunCommand("timeout " + std::to_string(kTimeoutSeconds) + " " + QUIDDITY_PROGRAM +
                                               " -t -f " + Quote(list) + " 2>&1",
                                           &status);
        EXPECT_EQ(status, 2);  // a usage error, not kTimedOut
        EXPECT_NE(out.find("quiddity: " + list + ": line "), std::string::npos) << out;
    }
    dir.Write("endless-line", std::string(1 << 17, 'a'));
    Quiddity("-t -f " + Quote(dir.Path("endless-line")), &status);
    EXPECT_EQ(status, 2);
    // A last line without its line break is still a path.
    dir.Write("list", dir.Path("here"));
    EXPECT_EQ(Quiddity("-t -f " + Quote(dir.Path("list")), &status), dir.Path("here") + ": Text file\n");
    EXPECT_EQ(status, 0);
}

TEST(HostileInput, EmptyFile) {
    CTempDir dir;
    dir.Write("empty", "");
    int status = -1;
    EXPECT_EQ(Quiddity("-t " + Quote(dir.Path("empty")), &status), dir.Path("empty") + ": (empty file)\n");
    EXPECT_EQ(status, 0);
    const CInspection r = Inspect(dir.Folder(), "empty");
    EXPECT_TRUE(r.opened);
    EXPECT_NE(r.pane.Text().find("\nType: (empty file)\n\n"), std::string::npos);
}

// The head holds 4096 bytes: the 4097th is never judged.
TEST(HostileInput, FilesAtTheEdgeOfTheHead) {
    CTempDir dir;
    const std::string text(4096, 'a');
    dir.Write("text4096", text);
    dir.Write("text4097", text + "\xFF");                      // binary only past the head
    dir.Write("binary4096", text.substr(0, 4095) + "\xFF");   // binary as the head's last byte
    int status = -1;
    EXPECT_EQ(Quiddity("-t " + Quote(dir.Path("text4096")) + " " + Quote(dir.Path("text4097")) + " " +
                           Quote(dir.Path("binary4096")),
                       &status),
              dir.Path("text4096") + ": Text file\n" + dir.Path("text4097") + ": Text file\n" +
                  dir.Path("binary4096") + ": Unknown\n");
    EXPECT_EQ(status, 0);

    for (const char* name : {"text4096", "text4097"}) {
        SCOPED_TRACE(name);
        const CInspection r = Inspect(dir.Folder(), name);
        EXPECT_EQ(r.type, "Text file");
        // Where the file information gives the size, it is the whole size.
        const std::string size = LineStarting(r.pane.Text(), "Filesize normal.: ");
        if (!size.empty()) {
            EXPECT_EQ(size.rfind(std::string("Filesize normal.: ") + (name + 4) + " bytes", 0), 0u) << size;
        }
    }
}

// Files of /proc give their size as 0 and still have bytes: they are read
// until a read brings nothing, not taken for empty.
TEST(HostileInput, FileThatGivesNoSize) {
    std::string type;
    ASSERT_TRUE(EstimateFileType("/proc/self/status", type));
    EXPECT_EQ(type, "Text file");
}

// Reading by path gives the recognizer the same head and tail as the bytes
// entry, whether the head holds the whole file (and the tail is taken from
// it) or the tail is read on its own.
TEST(HostileInput, HeadAndTailAroundTheirEdges) {
    CTempDir dir;
    for (const std::size_t size : {256, 257, 300, 4095, 4096, 4097, 4351, 4352, 4353, 9000}) {
        SCOPED_TRACE(size);
        std::string bytes(size, '\0');
        for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(' ' + i % 90);
        bytes.replace(size - 128, 3, "TAG");  // an ID3 version 1 tag, which only the tail shows
        bytes.replace(size - 18, 3, "TRU");   // the start of a Targa footer
        const std::string path = dir.Write("edge", bytes);
        std::string byPath;
        ASSERT_TRUE(EstimateFileType(path, byPath));
        const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
        const std::span<const std::uint8_t> all(data, size);
        std::string byBytes;
        EstimateFileTypeOfBytes(all.first(std::min<std::size_t>(size, 4096)), all.last(256), path, byBytes);
        EXPECT_EQ(byPath, byBytes);
    }
}

// Nothing may read a 5 GiB file through: the recognizer reads its head and
// tail, and the checksum leaves files of 10,000,000 bytes or more alone.
TEST(HostileInput, FiveGibibyteSparseFile) {
    constexpr std::uint64_t kSize = 5ull << 30;
    constexpr std::uint64_t kReadAllowance = 64ull << 20;  // headers, tables, the MIME database
    CTempDir dir;
    dir.Write("huge", "");
    ASSERT_EQ(::truncate(dir.Path("huge").c_str(), static_cast<off_t>(kSize)), 0);

    const std::uint64_t before = BytesReadByThisProcess();
    const CInspection r = Inspect(dir.Folder(), "huge");
    EXPECT_LT(BytesReadByThisProcess() - before, kReadAllowance);
    EXPECT_TRUE(r.opened);
    EXPECT_EQ(r.pane.ended, 1);
    // Sizes above 4 GiB print whole, in decimal and in hex.
    const std::string size = LineStarting(r.pane.Text(), "Filesize normal.: ");
    if (!size.empty()) {
        EXPECT_NE(size.find("5368709120 bytes"), std::string::npos) << size;
        EXPECT_NE(size.find("= 5 GB"), std::string::npos) << size;
        const std::size_t hex = size.find("(hex: ");
        if (hex != std::string::npos) {
            EXPECT_EQ(size.substr(hex), "(hex: 140000000)") << size;
        }
    }

    int status = -1;
    const std::string line = Quiddity("-t " + Quote(dir.Path("huge")), &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(line.rfind(dir.Path("huge") + ": ", 0), 0u);
    EXPECT_EQ(line.find(kUnopened), std::string::npos);
    Quiddity(Quote(dir.Path("huge")), &status);
    EXPECT_EQ(status, 0);  // not kTimedOut
}

TEST(HostileInput, NamesWithBlanksNewlinesAndInvalidUtf8) {
    CTempDir dir;
    dir.Write("with space", "words\n");
    dir.Write("new\nline", "words\n");
    dir.Write("caf\xE9", "words\n");  // Latin-1, not UTF-8
    int status = -1;
    // One line per file: the newline is escaped, the Latin-1 byte becomes UTF-8.
    EXPECT_EQ(Quiddity("-t " + Quote(dir.Path("with space")) + " " + Quote(dir.Path("new\nline")) + " " +
                           Quote(dir.Path("caf\xE9")),
                       &status),
              dir.Path("with space") + ": Text file\n" + dir.Path("new\\012line") + ": Text file\n" +
                  dir.Path("caf\xC3\xA9") + ": Text file\n");
    EXPECT_EQ(status, 0);

    const std::string report = Quiddity(Quote(dir.Path("new\nline")), &status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(report.find("File: new\\012line\nPath: "), std::string::npos);
    EXPECT_NE(report.find("Type: Text file\n"), std::string::npos);

    // The inspector hands the raw bytes on; the pane makes them UTF-8.
    const CInspection latin = Inspect(dir.Folder(), "caf\xE9");
    EXPECT_TRUE(latin.opened);
    EXPECT_NE(latin.pane.Text().find("File: caf\xE9\n"), std::string::npos);
    EXPECT_EQ(latin.type, "Text file");
    const std::string html = Quiddity("--format=html " + Quote(dir.Path("caf\xE9")), &status);
    EXPECT_NE(html.find("File: caf\xC3\xA9"), std::string::npos);
}

TEST(EscapeControlCharacters, OnlyControlCharactersChange) {
    EXPECT_EQ(EscapeControlCharacters("plain name.txt"), "plain name.txt");
    EXPECT_EQ(EscapeControlCharacters(std::string("a\nb\tc\x7F\x01", 7)), "a\\012b\\011c\\177\\001");
    EXPECT_EQ(EscapeControlCharacters(std::string("nul\0", 4)), "nul\\000");
    EXPECT_EQ(EscapeControlCharacters("caf\xE9 \\ \xC3\xA9"), "caf\xE9 \\ \xC3\xA9");  // high bytes and backslash stay
}
