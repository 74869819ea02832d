// The command-line program, run as users run it.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>

#include "TestSupport.h"

using quiddity::test::CTempDir;
using quiddity::test::Fixture;
using quiddity::test::RunCommand;

namespace {

std::string Quiddity(const std::string& arguments, int* status) {
    return RunCommand(std::string(QUIDDITY_PROGRAM) + " " + arguments + " 2>/dev/null", status);
}

}  // namespace

TEST(Cli, TypeModeNamesEachFile) {
    CTempDir dir;
    dir.Write("empty", "");
    dir.Write("text", "plain ASCII text\n");
    dir.Write("dmg", "x\x01\xDA\x9C\xFF rest");
    int status = -1;
    const std::string out =
        Quiddity("-t " + dir.Path("empty") + " " + dir.Path("text") + " " + dir.Path("dmg"), &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out, dir.Path("empty") + ": (empty file)\n" + dir.Path("text") + ": Text file\n" + dir.Path("dmg") +
                       ": Possible UDIF disc image (dmg)\n");
}

TEST(Cli, RecursiveAndFilesFrom) {
    CTempDir dir;
    ::mkdir(dir.Path("sub").c_str(), 0700);
    dir.Write("sub/b", "words\n");
    dir.Write("a", "");
    int status = -1;
    EXPECT_EQ(Quiddity("-t " + dir.Path("sub"), &status), dir.Path("sub") + ": Folder\n");

    // a link to a folder given on the command line is walked; one inside is not
    ASSERT_EQ(::symlink(dir.Path("sub").c_str(), dir.Path("link").c_str()), 0);
    EXPECT_EQ(Quiddity("-t -r " + dir.Path("link"), &status), dir.Path("link/b") + ": Text file\n");
    EXPECT_EQ(Quiddity("-t " + dir.Path("link"), &status), dir.Path("link") + ": Folder\n");
    ::unlink(dir.Path("link").c_str());

    dir.Write("list", dir.Path("a") + "\n" + dir.Path("sub/b") + "\n");
    EXPECT_EQ(Quiddity("-t -f " + dir.Path("list"), &status), dir.Path("a") + ": (empty file)\n" + dir.Path("sub/b") + ": Text file\n");
    EXPECT_EQ(RunCommand("printf '%s\\n' " + dir.Path("a") + " | " + QUIDDITY_PROGRAM + " -t -f -"), dir.Path("a") + ": (empty file)\n");
}

// Folders 64 levels down are the last the walk enters: a deeper tree is a
// link farm or a hostile image, not a user's files.
TEST(Cli, RecursionStopsAtItsDepthLimit) {
    CTempDir dir;
    std::string folder = dir.Path("d");
    for (int level = 0; level < 70; ++level) {
        ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
        dir.Write(folder.substr(dir.Folder().size()) + "/f", "");
        folder += "/d";
    }
    int status = -1;
    const std::string out = Quiddity("-t -r " + dir.Path("d"), &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 64);  // levels 0 to 63
    std::string deepest = dir.Path("d");
    for (int level = 1; level < 64; ++level) deepest += "/d";
    EXPECT_NE(out.find(deepest + "/f: (empty file)\n"), std::string::npos);
}

TEST(Cli, ExitStatuses) {
    CTempDir dir;
    const std::string here = dir.Write("here", "words\n");
    int status = -1;
    // A missing file is said on standard error; the others are still named.
    const std::string out =
        RunCommand(std::string(QUIDDITY_PROGRAM) + " -t " + dir.Path("missing") + " " + here + " 2>&1", &status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(out.find("quiddity: " + dir.Path("missing") + ": No such file or directory\n"), std::string::npos);
    EXPECT_NE(out.find(dir.Path("missing") + ": (couldn't open the file)\n"), std::string::npos);
    EXPECT_NE(out.find(here + ": Text file\n"), std::string::npos);
    Quiddity(dir.Path("missing"), &status);
    EXPECT_EQ(status, 1);
    Quiddity(here, &status);
    EXPECT_EQ(status, 0);
    // (no path and standard input a terminal or nothing: a usage error)
    for (const std::string& usageError : {"--bogus " + here, std::string("</dev/null"), "--format=pdf " + here}) {
        Quiddity(usageError, &status);
        EXPECT_EQ(status, 2) << usageError;
    }
    EXPECT_NE(Quiddity("--help", &status).find("Usage: quiddity"), std::string::npos);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Quiddity("--version", &status).rfind("quiddity ", 0), 0u);
}

TEST(Cli, ReportFormats) {
    int status = -1;
    const std::string font = Fixture("fonts/TlwgMono.ttf");
    const std::string text = Quiddity("--format=text " + font, &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(text.rfind("\nFile info\nFile: TlwgMono.ttf\nPath: ", 0), 0u);
    EXPECT_NE(text.find("True Type Font\nTlwgMono, Free Thai"), std::string::npos);
    EXPECT_EQ(text.find('\r'), std::string::npos);
    EXPECT_EQ(text.find('\x1b'), std::string::npos);

    const std::string ansi = Quiddity("--format=ansi " + font, &status);
    EXPECT_NE(ansi.find("\x1b[1;31mTrue Type Font"), std::string::npos);

    const std::string html = Quiddity("--format=html " + font, &status);
    EXPECT_EQ(html.rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_NE(html.find(">True Type Font\n</span>"), std::string::npos);

    const std::string noEstimate = Quiddity("--no-estimated " + font, &status);
    EXPECT_EQ(noEstimate.find("Estimated type"), std::string::npos);
}
