#include <gtest/gtest.h>

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
