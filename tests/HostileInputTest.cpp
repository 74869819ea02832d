// Items that are not ordinary files, files at the edges of what the
// recognizer reads, and names that are hard to print: each gets its message
// or section, returns at once and never crashes, through the program (under
// `timeout`, so a block fails instead of hanging) and through the inspector.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <grp.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <span>

#include "TestSupport.h"
#include "report/InfoReport.h"
#include "recognizer/Recognition.h"
#include "recognizer/Recognizer.h"

using namespace quiddity;
using quiddity::test::CRecordingPane;
using quiddity::test::CTempDir;
using quiddity::test::RunCommand;

namespace {

constexpr const char* kUnopened = "(couldn't open the file)";

// The paths of these tests hold no single quote.
std::string Quote(const std::string& text) { return "'" + text + "'"; }

// Runs the program under a time limit long enough for the slowest sanitizer
// build; `errors` is where its standard error goes.
std::string Quiddity(const std::string& arguments, int* status, const char* errors = "2>/dev/null") {
    return RunCommand("timeout 20 " QUIDDITY_PROGRAM " " + arguments + " " + errors, status);
}

struct CInspection {
    CRecordingPane pane;
    bool opened = false;
};

CInspection Inspect(const std::string& folder, const std::string& name) {
    CInspection result;
    result.opened =
        CFileInspector(name, folder, result.pane, InitTextStyles(), CReportSwitches{}).BuildInfoReport().nOpenError == 0;
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

// A special item is named in the type list as file(1) names it, the
// report's type says it was not opened, and the run counts as done: it was
// inspected, there is just nothing to read.  Returns the report.
std::string ExpectNotOpenedButReported(const std::string& path, const std::string& named) {
    SCOPED_TRACE(path);
    int status = -1;
    EXPECT_EQ(Quiddity("-t " + Quote(path), &status), path + ": " + named + "\n");
    EXPECT_EQ(status, 0);
    const std::string report = Quiddity(Quote(path), &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(report.rfind("\nFile info\n", 0), 0u);
    EXPECT_NE(report.find(std::string("Type: ") + kUnopened + "\n"), std::string::npos);
    return report;
}

}  // namespace

TEST(HostileInput, FifoAndSocketAreNeverOpened) {
    CTempDir dir;
    ASSERT_EQ(::mkfifo(dir.Path("pipe").c_str(), 0600), 0);
    EXPECT_NE(ExpectNotOpenedButReported(dir.Path("pipe"), "fifo (named pipe)").find("Streams.........:\n  (Total size: 0)\n"),
              std::string::npos);

    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(sock, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = dir.Path("socket");
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    ASSERT_EQ(::bind(sock, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(sock, 1), 0);  // a listening socket: a connect would succeed and wait
    ExpectNotOpenedButReported(socketPath, "socket");
    ::close(sock);
}

TEST(HostileInput, DevicesThatNeverEndOrAreEmpty) {
    ExpectNotOpenedButReported("/dev/zero", "character special (1/5)");
    EXPECT_NE(LineStarting(ExpectNotOpenedButReported("/dev/null", "character special (1/3)"), "Attributes......: ").find("device"),
              std::string::npos);
}

TEST(HostileInput, RecursiveListingPassesEveryKindOfItemAndLink) {
    CTempDir dir;
    ASSERT_EQ(::mkfifo(dir.Path("a-pipe").c_str(), 0600), 0);
    ASSERT_EQ(::symlink("b-loop", dir.Path("b-loop").c_str()), 0);      // a link to itself
    ASSERT_EQ(::symlink("nowhere", dir.Path("b-nowhere").c_str()), 0);  // a dangling link
    ASSERT_EQ(::symlink(".", dir.Path("c-here").c_str()), 0);           // a link back to its folder
    ASSERT_EQ(::mkdir(dir.Path("d-folder").c_str(), 0700), 0);
    dir.Write("d-folder/e-text", "words\n");
    int status = -1;
    EXPECT_EQ(Quiddity("-t -r " + Quote(dir.Path("")), &status),
              dir.Path("a-pipe") + ": fifo (named pipe)\n" + dir.Path("b-loop") + ": symbolic link loop\n" +
                  dir.Path("b-nowhere") + ": broken symbolic link to nowhere\n" +
                  dir.Path("c-here") + ": symbolic link to .\n" + dir.Path("d-folder/e-text") + ": Text file\n");
    EXPECT_EQ(status, 0);
}

// Root reads whatever the mode says, so under root the inspection runs in a
// child that has become nobody; the program's own path may lie where nobody
// cannot go, so the child calls the inspection itself.
TEST(HostileInput, UnreadableFileIsReportedAsNotInspected) {
    CTempDir dir;
    dir.Write("locked", "words\n");
    ASSERT_EQ(::chmod(dir.Path("locked").c_str(), 0), 0);
    ASSERT_EQ(::chmod(dir.Folder().c_str(), 0755), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        constexpr uid_t kNobody = 65534;
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setresgid(kNobody, kNobody, kNobody) != 0 ||
             ::setresuid(kNobody, kNobody, kNobody) != 0))
            ::_exit(2);
        std::string type;
        int error = 0;
        const bool opened = EstimateFileType(dir.Path("locked"), type, &error);
        CReportSwitches switches;
        switches.ShowFileInfo = switches.ShowEstimated = false;  // no desktop lookups in a forked child
        CRecordingPane pane;
        const CReportResult result = CFileInspector("locked", dir.Folder(), pane, InitTextStyles(), switches).BuildInfoReport();
        const bool reported = !opened && error == EACCES && type == kUnopened && result.nOpenError == EACCES &&
                              result.strTypeText == kUnopened && pane.Text().find("Checksum") == std::string::npos;
        ::_exit(reported ? 0 : 1);
    }
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);  // 2: could not become nobody; 1: the file was read or misreported
}

// A device or a binary file given as the list of paths is refused at once
// instead of filling the memory.
TEST(HostileInput, PathListThatIsNoList) {
    CTempDir dir;
    dir.Write("here", "words\n");
    dir.Write("binary-list", dir.Path("here") + "\n" + std::string("\x7F" "ELF\0\0", 6));
    int status = -1;
    for (const std::string& list : {std::string("/dev/zero"), dir.Path("binary-list")}) {
        SCOPED_TRACE(list);
        const std::string out = Quiddity("-t -f " + Quote(list), &status, "2>&1");
        EXPECT_EQ(status, 2);  // a usage error, not a time-out
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
    for (const std::size_t size : {255, 256, 257, 300, 4095, 4096, 4097, 4351, 4352, 4353, 9000}) {
        SCOPED_TRACE(size);
        std::vector<std::uint8_t> bytes(size);
        for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(' ' + i % 90);
        bytes[size - 128] = 'T';  // the first byte of an ID3 version 1 tag, which only the tail shows
        bytes[size - 1] = '!';
        const CMemoryByteSource source(bytes);
        CRecognition r(source);
        r.Load();
        EXPECT_EQ(r.m_nHead, std::min<std::size_t>(size, 4096));
        if (size < 256) {
            EXPECT_EQ(r.m_nTail, 0u);  // too short to be positioned 256 bytes before the end
            continue;
        }
        EXPECT_EQ(r.m_nTail, 256u);
        EXPECT_EQ(r.TailFromEnd(128), 'T');
        EXPECT_EQ(r.TailFromEnd(1), '!');
        EXPECT_EQ(r.TailFromEnd(256), bytes[size - 256]);
        EXPECT_EQ(r.TailFromEnd(257), 0);
    }
}

// Nothing may read a 5 GiB file through: the recognizer reads its head and
// tail, and the checksum leaves files of 10,000,000 bytes or more alone.
TEST(HostileInput, FiveGibibyteSparseFile) {
    constexpr std::uint64_t kReadAllowance = 64ull << 20;  // headers, tables, the MIME database
    CTempDir dir;
    dir.Write("huge", "");
    ASSERT_EQ(::truncate(dir.Path("huge").c_str(), static_cast<off_t>(5ull << 30)), 0);

    const std::uint64_t before = BytesReadByThisProcess();
    const CInspection r = Inspect(dir.Folder(), "huge");
    EXPECT_LT(BytesReadByThisProcess() - before, kReadAllowance);
    EXPECT_TRUE(r.opened);
    // Sizes print whole, not their low 32 bits (hex 40000000, 1 GiB).
    const std::string text = r.pane.Text();
    EXPECT_EQ(LineStarting(text, "Filesize normal.: "), "Filesize normal.: 5368709120 bytes = 5 GB (hex: 140000000)");
    EXPECT_NE(LineStarting(text, "Attributes......: ").find("sparse"), std::string::npos);
    EXPECT_NE(text.find("  Stream: Standard data  (size: 5368709120)\n  (Total size: 5368709120)\n"),
              std::string::npos);
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
    EXPECT_NE(Quiddity(Quote(dir.Path("new\nline")), &status).find("File: new\\012line\nPath: "), std::string::npos);

    // The inspector hands the raw bytes on; the pane makes them UTF-8.
    EXPECT_NE(Inspect(dir.Folder(), "caf\xE9").pane.Text().find("File: caf\xE9\n"), std::string::npos);
}

TEST(EscapeControlCharacters, OnlyControlCharactersChange) {
    EXPECT_EQ(EscapeControlCharacters(std::string("a\nb\tc\x7F\x01", 7)), "a\\012b\\011c\\177\\001");
    EXPECT_EQ(EscapeControlCharacters(std::string("nul\0", 4)), "nul\\000");
    EXPECT_EQ(EscapeControlCharacters("caf\xE9 \xC3\xA9 \xC2\xA0"), "caf\xE9 \xC3\xA9 \xC2\xA0");  // letters stay
    // A backslash doubles, so "\\012" always means a newline byte.
    EXPECT_EQ(EscapeControlCharacters("a\\012\n"), "a\\\\012\\012");
    // C1 controls, raw or in UTF-8 (U+009B opens a terminal sequence), and a
    // right-to-left override, which would reverse what follows it
    EXPECT_EQ(EscapeControlCharacters("\x9B" "2J \xC2\x9B" "2J \xE2\x80\xAEgpj.exe"),
              "\\233" "2J \\302\\233" "2J \\342\\200\\256gpj.exe");
}
