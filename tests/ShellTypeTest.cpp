#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/ShellType.h"

using namespace quiddity;

TEST(ShellType, KeyTextIsTheLastDotNotTheFirstCharacter) {
    EXPECT_EQ(ShellTypeKey("photo.png"), ".png");
    EXPECT_EQ(ShellTypeKey("archive.tar.gz"), ".gz");
    EXPECT_EQ(ShellTypeKey(".bashrc"), "");
    EXPECT_EQ(ShellTypeKey("README"), "");
    EXPECT_EQ(ShellTypeKey(".config.old"), ".old");
}

TEST(ShellType, DescriptionFromTheMimeDatabase) {
    std::string out;
    EXPECT_TRUE(LookUpShellType(".png", out));
    EXPECT_EQ(out, "PNG image");
    EXPECT_TRUE(LookUpShellType(".PDF", out));  // extensions match in any case
    EXPECT_EQ(out, "PDF document");
}

TEST(ShellType, UnknownOrGenericGivesNone) {
    std::string out = "stale";
    EXPECT_FALSE(LookUpShellType(".zzqqxx", out));
    EXPECT_EQ(out, "");
    EXPECT_FALSE(LookUpShellType("", out));
    EXPECT_FALSE(LookUpShellType(".", out));
}

// The types GIO itself gives a file of each name (fast-content-type is the
// guess from the name alone), described by the MIME database's own file
// for that type: extensions whose guess GIO marks uncertain (.html, .json,
// .ogg, .iso) must get a description too.
TEST(ShellType, SameDescriptionAsGioAndTheMimeDatabaseFile) {
    const test::CTempDir dir;
    for (const char* extension : {".html", ".json", ".py", ".ogg", ".iso", ".png"}) {
        const std::string path = dir.Write(std::string("x") + extension, "a");
        const std::string type = test::RunCommand("gio info -a standard::fast-content-type '" + path +
                                                  "' | sed -n 's/^ *standard::fast-content-type: //p'");
        ASSERT_FALSE(type.empty()) << extension;
        const std::string expected = test::RunCommand("sed -n 's|^ *<comment>\\(.*\\)</comment>$|\\1|p' '/usr/share/mime/" +
                                                      type.substr(0, type.size() - 1) + ".xml' | head -n 1");
        std::string out;
        EXPECT_TRUE(LookUpShellType(extension, out)) << extension;
        EXPECT_EQ(out + "\n", expected) << extension;
    }
    std::string out;
    LookUpShellType(".html", out);
    EXPECT_EQ(out, "HTML document");
    LookUpShellType(".json", out);
    EXPECT_EQ(out, "JSON document");
}
