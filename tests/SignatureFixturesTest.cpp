// Files made by the real tools that write each format (see
// tests/fixtures/signatures/make-fixtures.sh), named by the first three test
// groups: scripts and ar archives, long signatures, short signatures.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "TestSupport.h"
#include "recognizer/Recognizer.h"

using namespace quiddity;
using quiddity::test::Fixture;

TEST(SignatureFixtures, EachFileByItsExactType) {
    const std::pair<const char*, const char*> files[] = {
        {"gnu.tar", "TAR archive (GNU)"},                // --format=gnu: "ustar  " and a zero byte
        {"ustar.tar", "TAR archive (opengroup/posix)"},  // --format=ustar: "ustar", zero, "00"
        {"pax.tar", "TAR archive (opengroup/posix)"},    // --format=pax: the same header magic
        {"plain.a", "Ar archive (Unix) (or Visual C++ Compiler Library)"},
        {"hello.deb", "Debian Ar archive (DEB)"},  // and nothing of the plain ar text
        {"hello.lzo", "LZOP archive"},
        {"lh0.lzh", "LHA archive, uncompressed"},
        {"lh5.lzh", "LHA archive, LZSS 5"},
        {"lh6.lzh", "LHA archive, LZSS 6"},
        {"lh7.lzh", "LHA archive, LZSS 7"},
        {"rom.img", "Simple ROM filesystem"},
        // sharutils writes "#!/bin/sh" first: the shell test wins over the
        // shell-archive row.
        {"hello.shar", "Bourne shell script (Unix)"},
        {"make-fixtures.sh", "Bourne shell script (Unix)"},
        {"utf16.xml", "XML Unicode"},
        {"red.png", "Portable Network Graphics"},
        {"red.mng", "Multiple Image Network Graphics"},
        {"red.jng", "JPEG Network Graphics"},
        {"red.jp2", "JPEG2000 image"},
        {"red.miff", "Imagemagick image file (miff)"},
        {"red.xpm", "X-windows Pixmap image"},
        {"red.vicar", "Vicar image"},
        {"red.pict", "Mac QuickDraw metafile PICT"},  // the version opcode behind a 512-byte header
        {"red.eps2", "Encapsulated Postscript Level 3"},
        {"tone.voc", "Creative Voice Audio (VOC)"},
        {"tone.sph", "NIST audio file"},
        {"tone.sf", "IRCAM audio sample"},
        {"tone.smp", "SOX/SampleVision audio file"},
    };
    for (const auto& [file, type] : files) {
        std::string out;
        EXPECT_TRUE(EstimateFileType(Fixture(std::string("signatures/") + file), out)) << file;
        EXPECT_EQ(out, type) << file;
    }
}
