// The program in scripts and pipelines: NUL lists, brief lines, standard
// input, MIME types, special items, the type page and recursive reports.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>

#include "TestSupport.h"

using quiddity::test::CTempDir;
using quiddity::test::Fixture;
using quiddity::test::RunCommand;

namespace {

const std::string kProgram = QUIDDITY_PROGRAM;

// Splits "PATH\0: TYPE\n" records as file -0 writes them.
std::vector<std::pair<std::string, std::string>> SplitPrint0(const std::string& out) {
    std::vector<std::pair<std::string, std::string>> records;
    std::size_t at = 0;
    while (at < out.size()) {
        const std::size_t nul = out.find('\0', at);
        const std::size_t end = out.find('\n', nul);
        if (nul == std::string::npos || end == std::string::npos || out.compare(nul + 1, 2, ": ") != 0) {
            ADD_FAILURE() << "not a -0 record at " << at;
            break;
        }
        records.emplace_back(out.substr(at, nul - at), out.substr(nul + 3, end - nul - 3));
        at = end + 1;
    }
    return records;
}

}  // namespace

// Names with a newline and with bytes that are no UTF-8 come out of a NUL
// list and --print0 byte for byte, and xargs -0 hands them back.
TEST(CliScripting, NulListsRoundTrip) {
    CTempDir dir;
    dir.Write("two\nlines", "plain ASCII text\n");
    dir.Write("latin\xe9", "\x89PNG\r\n\x1a\n");
    dir.Write("plain", "");
    int status = -1;
    const std::string out =
        RunCommand("find " + dir.Folder() + " -type f -print0 | sort -z | " + kProgram + " --files0-from=- -t -0", &status);
    EXPECT_EQ(status, 0);
    const auto records = SplitPrint0(out);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0], std::make_pair(dir.Path("latin\xe9"), std::string("Portable Network Graphics")));
    EXPECT_EQ(records[1], std::make_pair(dir.Path("plain"), std::string("(empty file)")));
    EXPECT_EQ(records[2], std::make_pair(dir.Path("two\nlines"), std::string("Text file")));

    // The paths as they came out, through xargs -0, give the same types.
    std::string list;
    for (const auto& record : records) list += record.first + '\0';
    dir.Write("list0", list);
    EXPECT_EQ(RunCommand("xargs -0 " + kProgram + " -t -b < " + dir.Path("list0"), &status),
              "Portable Network Graphics\n(empty file)\nText file\n");
    EXPECT_EQ(status, 0);

    // An overlong name refuses the list.
    dir.Write("huge0", std::string(70000, 'x') + '\0');
    RunCommand(kProgram + " --files0-from=" + dir.Path("huge0") + " -t 2>/dev/null", &status);
    EXPECT_EQ(status, 2);
}

// Standard input answers as the file does: the type, the MIME type guessed
// from the bytes, and every report section after the estimated type.
TEST(CliScripting, StandardInputEqualsTheFile) {
    for (const char* fixture : {"pe/hello32.exe", "fonts/TlwgMono.ttf", "exif/camera-ii.jpg"}) {
        const std::string path = Fixture(fixture);
        const std::string fromFile = RunCommand(kProgram + " -t -b '" + path + "'");
        EXPECT_EQ(RunCommand(kProgram + " -t -b - < '" + path + "'"), fromFile) << fixture;
        // a pipe and no path: standard input too
        EXPECT_EQ(RunCommand("cat '" + path + "' | " + kProgram + " -t -b"), fromFile) << fixture;

        const std::string jq = " | jq -c '[.type, .mimeType, [.sections[] | select(.heading != \"File info\" and "
                               ".heading != \"Estimated type\")]]'";
        const std::string fileReport = RunCommand(kProgram + " --json '" + path + "'" + jq);
        EXPECT_GT(fileReport.size(), 100u);
        EXPECT_EQ(RunCommand(kProgram + " --json - < '" + path + "'" + jq), fileReport) << fixture;
    }
    // The report names the stream.
    const std::string report = RunCommand("printf 'hello\\n' | " + kProgram + " --format=text -");
    EXPECT_EQ(report.rfind("\nFile info\nFile: (standard input)\nFilesize normal.: 6 bytes\n\nEstimated type\n", 0), 0u)
        << report;
}

TEST(CliScripting, StandardInputBeyondTheCapIsRefused) {
    int status = -1;
    const std::string out =
        RunCommand("head -c 268435457 /dev/zero | " + kProgram + " -t - 2>&1 >/dev/null", &status);
    EXPECT_EQ(status, 2);
    EXPECT_EQ(out, "quiddity: -: standard input is larger than 256 MiB; save it to a file first\n");
}

// Items that are no regular files are named, never opened: a FIFO would
// block the test until its time limit.
TEST(CliScripting, SpecialItemsAreNamed) {
    CTempDir dir;
    ASSERT_EQ(::mkfifo(dir.Path("fifo").c_str(), 0600), 0);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = dir.Path("sock");
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    std::copy(socketPath.begin(), socketPath.end(), address.sun_path);
    ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::symlink("nowhere", dir.Path("dangling").c_str()), 0);
    ASSERT_EQ(::symlink("loop", dir.Path("loop").c_str()), 0);
    ASSERT_EQ(::symlink(dir.Path("fifo").c_str(), dir.Path("to-fifo").c_str()), 0);

    int status = -1;
    const std::string out = RunCommand(kProgram + " -t " + dir.Path("fifo") + " " + socketPath + " /dev/null " +
                                           dir.Path("dangling") + " " + dir.Path("loop") + " " + dir.Path("to-fifo"),
                                       &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out, dir.Path("fifo") + ": fifo (named pipe)\n" + socketPath + ": socket\n" +
                       "/dev/null: character special (1/3)\n" + dir.Path("dangling") +
                       ": broken symbolic link to nowhere\n" + dir.Path("loop") + ": symbolic link loop\n" +
                       dir.Path("to-fifo") + ": fifo (named pipe)\n");
    EXPECT_EQ(RunCommand(kProgram + " --mime-type " + dir.Path("fifo") + " /dev/null " + dir.Path("dangling") + " " +
                         dir.Folder()),
              dir.Path("fifo") + ": inode/fifo\n/dev/null: inode/chardevice\n" + dir.Path("dangling") +
                  ": inode/symlink\n" + dir.Folder() + ": inode/directory\n");
    // The report keeps the recognizer's words.
    EXPECT_NE(RunCommand(kProgram + " --format=text " + dir.Path("fifo")).find("Type: (couldn't open the file)\n"),
              std::string::npos);
    ::close(fd);
}

// The MIME type is the desktop's, from name and bytes together; where
// file(1) agrees on a type, the two answers match.
TEST(CliScripting, MimeTypes) {
    EXPECT_EQ(RunCommand(kProgram + " --mime-type -b " + Fixture("fonts/TlwgMono.ttf")), "font/ttf\n");
    for (const char* fixture : {"exif/camera-ii.jpg", "signatures/hello.gz", "signatures/gnu.tar"}) {
        const std::string path = Fixture(fixture);
        EXPECT_EQ(RunCommand(kProgram + " --mime-type -b " + path), RunCommand("file --mime-type -b " + path))
            << fixture;
    }
    CTempDir dir;
    // As in a file manager, a name the database knows decides; without one
    // the bytes do, and no bytes at all are the zero-size type.
    const std::string pngBytes("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
    const std::string named = dir.Write("picture.txt", pngBytes);
    const std::string unnamed = dir.Write("picture", pngBytes);
    const std::string empty = dir.Write("empty", "");
    EXPECT_EQ(RunCommand(kProgram + " --mime-type " + named + " " + unnamed + " " + empty),
              named + ": text/plain\n" + unnamed + ": image/png\n" + empty + ": application/x-zerosize\n");
    EXPECT_EQ(RunCommand(kProgram + " --json -t - < " + named + " | jq -r .mimeType"), "image/png\n");
}

TEST(CliScripting, TypePageAndRecursiveReports) {
    CTempDir dir;
    ::mkdir(dir.Path("sub").c_str(), 0700);
    dir.Write("a<b", "words\n");
    dir.Write("sub/c", "");
    const std::string page = RunCommand(kProgram + " -t -r --format=html " + dir.Folder());
    EXPECT_EQ(page.rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_NE(page.find("<tr><td>" + dir.Path("a&lt;b") + "</td><td>Text file</td></tr>\n<tr><td>" +
                        dir.Path("sub/c") + "</td><td>(empty file)</td></tr>\n</table>\n</body></html>\n"),
              std::string::npos)
        << page;

    // -r in report mode: one report per file below the folder
    const std::string reports = RunCommand(kProgram + " -r --format=text " + dir.Folder());
    EXPECT_NE(reports.find("File: a<b\n"), std::string::npos);
    EXPECT_NE(reports.find("File: c\n"), std::string::npos);
    EXPECT_EQ(reports.find("File: sub\n"), std::string::npos);
    EXPECT_EQ(RunCommand(kProgram + " -r --json " + dir.Folder() + " | jq -r .type"), "Text file\n(empty file)\n");
}

// Colour only on a terminal, and not when NO_COLOR is set (script(1) gives
// the program a terminal).
TEST(CliScripting, NoColorIsHonoured) {
    const std::string font = Fixture("fonts/TlwgMono.ttf");
    const std::string coloured = RunCommand("script -qec '" + kProgram + " " + font + "' /dev/null");
    EXPECT_NE(coloured.find("\x1b[1;31m"), std::string::npos);
    const std::string plain = RunCommand("NO_COLOR=1 script -qec '" + kProgram + " " + font + "' /dev/null");
    EXPECT_NE(plain.find("True Type Font"), std::string::npos);
    EXPECT_EQ(plain.find("\x1b["), std::string::npos);
}
