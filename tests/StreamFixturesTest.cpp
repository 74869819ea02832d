// Files made by the real tools (tests/fixtures/streams/make-fixtures.sh),
// each checked against file(1), which reads the same facts independently:
// sizes, bit and sample rates, channel modes, versions.  Their whole reports
// are pinned by the golden reports.
#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "recognizer/Recognizer.h"

using namespace quiddity;
using quiddity::test::Fixture;
using quiddity::test::RunCommand;

TEST(StreamFixtures, AgreeWithFile) {
    struct Agreement {
        const char* fixture;
        const char* fileSays;  // a part of `file -b`
        const char* weSay;
    };
    const Agreement files[] = {
        {"bgr24.bmp", "16 x 8 x 24", "Bitmap 16x8 24-bit color uncompressed"},
        {"color.jpg", "baseline, precision 8, 16x8, components 3", "JPEG JFIF 16x8 color (YCrCb/YUV)"},
        {"44100.mp3", "layer III, v1, 128 kbps, 44.1 kHz, JntStereo",
         "MPEG-1 Audio Layer III (MP3)  128kbps 44.1kHz Joint Stereo"},
        {"22050.mp3", "layer III, v2,  32 kbps, 22.05 kHz, Monaural", "MPEG-2 Audio Layer III (MP3)  32kbps 22.05kHz Mono"},
        {"48000.mp2", "layer II, v1, 192 kbps, 48 kHz, Stereo", "MPEG-1 Audio Layer II  192kbps 48kHz Stereo"},
        {"44100.aac", "AAC, v4 LC, 44.1 kHz, stereo", "MPEG-4 Audio AAC 44.1kHz Stereo"},
        {"elementary.m2v", "MPEG sequence, v2", "MPEG Video 32 x 16 asp:1 fps:25 bps:262143"},
        {"named.sgi", "SGI image data, RLE", "SGI image, compressed, title=\"Quiddity\""},
        {"hello.hqx", "BinHex", "BinHex coded file, Text file"},
    };
    int status = -1;
    RunCommand("file --version >/dev/null 2>&1", &status);
    const bool haveFile = status == 0;
    for (const Agreement& f : files) {
        const std::string path = Fixture(std::string("streams/") + f.fixture);
        std::string type;
        EXPECT_TRUE(EstimateFileType(path, type)) << f.fixture;
        EXPECT_EQ(type, f.weSay) << f.fixture;
        if (haveFile) {
            EXPECT_NE(RunCommand("file -b '" + path + "'").find(f.fileSays), std::string::npos) << f.fixture;
        }
    }
    if (!haveFile) GTEST_SKIP() << "file(1) is not installed: only our side was checked";
}
