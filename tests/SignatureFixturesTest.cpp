// Files made by the real tools that write each format (see
// tests/fixtures/signatures/make-fixtures.sh), named by the first three test
// groups: scripts and ar archives, long signatures, short signatures.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "recognizer/Recognition.h"
#include "recognizer/Recognizer.h"

using namespace quiddity;
using quiddity::test::Fixture;
using quiddity::test::RunCommand;

namespace {

struct CNamedFixture {
    const char* file;
    const char* type;
};

std::string TypeOf(const char* file) {
    std::string out;
    EXPECT_TRUE(EstimateFileType(Fixture(std::string("signatures/") + file), out)) << file;
    return out;
}

void ExpectTypes(std::initializer_list<CNamedFixture> fixtures) {
    for (const CNamedFixture& f : fixtures) EXPECT_EQ(TypeOf(f.file), f.type) << f.file;
}

}  // namespace

TEST(SignatureFixtures, TarInItsThreeFormats) {
    ExpectTypes({
        {"gnu.tar", "TAR archive (GNU)"},                  // --format=gnu: "ustar  " and a zero byte
        {"ustar.tar", "TAR archive (opengroup/posix)"},    // --format=ustar: "ustar", zero, "00"
        {"pax.tar", "TAR archive (opengroup/posix)"},      // --format=pax: the same header magic
    });
}

TEST(SignatureFixtures, ArchivesAndPackages) {
    ExpectTypes({
        {"plain.a", "Ar archive (Unix) (or Visual C++ Compiler Library)"},
        {"hello.deb", "Debian Ar archive (DEB)"},  // and nothing of the plain ar text
        {"hello.lzo", "LZOP archive"},
        {"lh0.lzh", "LHA archive, uncompressed"},
        {"lh5.lzh", "LHA archive, LZSS 5"},
        {"lh6.lzh", "LHA archive, LZSS 6"},
        {"lh7.lzh", "LHA archive, LZSS 7"},
        {"rom.img", "Simple ROM filesystem"},
    });
}

TEST(SignatureFixtures, ScriptsAndText) {
    ExpectTypes({
        // sharutils writes "#!/bin/sh" first: the shell test of group 0 wins
        // over the shell-archive row of group 1.
        {"hello.shar", "Bourne shell script (Unix)"},
        {"make-fixtures.sh", "Bourne shell script (Unix)"},
        {"utf16.xml", "XML Unicode"},
    });
}

TEST(SignatureFixtures, PicturesFromImageMagick) {
    ExpectTypes({
        {"red.png", "Portable Network Graphics"},
        {"red.mng", "Multiple Image Network Graphics"},
        {"red.jng", "JPEG Network Graphics"},
        {"red.jp2", "JPEG2000 image"},
        {"red.miff", "Imagemagick image file (miff)"},
        {"red.xpm", "X-windows Pixmap image"},
        {"red.vicar", "Vicar image"},
        {"red.pict", "Mac QuickDraw metafile PICT"},  // the version opcode behind a 512-byte header
        {"red.eps2", "Encapsulated Postscript Level 3"},
    });
}

TEST(SignatureFixtures, SoundFromSox) {
    ExpectTypes({
        {"tone.voc", "Creative Voice Audio (VOC)"},
        {"tone.sph", "NIST audio file"},
        {"tone.sf", "IRCAM audio sample"},
        {"tone.smp", "SOX/SampleVision audio file"},
    });
}

// Files of other families must pass the first three groups without a text.
TEST(SignatureFixtures, OtherFamiliesAreLeftAlone) {
    for (const char* file : {"hello.gz", "Hello.class", "tiny.elf"}) {
        std::ifstream in(Fixture(std::string("signatures/") + file), std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ASSERT_GT(bytes.size(), 4u) << file;
        CRecognition r;
        r.n = std::min(bytes.size(), kHeadSize);
        std::copy_n(bytes.begin(), r.n, r.m_head.begin());
        EXPECT_EQ(RunScriptsAndArchives(r), ETest::NoMatch) << file;
        EXPECT_EQ(RunLongSignatures(r), ETest::NoMatch) << file;
        EXPECT_EQ(RunShortSignatures(r), ETest::NoMatch) << file;
        EXPECT_EQ(r.m_result, "") << file;
    }
}

TEST(SignatureFixtures, TypeModePrintsTheTexts) {
    const std::string dir = Fixture("signatures/");
    int status = -1;
    const std::string out = RunCommand(std::string(QUIDDITY_PROGRAM) + " -t " + dir + "gnu.tar " + dir + "hello.deb " +
                                           dir + "lh7.lzh " + dir + "tone.sf",
                                       &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out, dir + "gnu.tar: TAR archive (GNU)\n" + dir + "hello.deb: Debian Ar archive (DEB)\n" + dir +
                       "lh7.lzh: LHA archive, LZSS 7\n" + dir + "tone.sf: IRCAM audio sample\n");
}
