// Files made by the real tools (tests/fixtures/details/make-fixtures.sh),
// whose type lines the golden reports pin, checked where an independent
// tool reads the same fields: file(1) for WAVE and AVI headers, isoinfo for
// the volume descriptors; and cut short.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "RecognizerSupport.h"
#include "TestSupport.h"
#include "recognizer/Recognizer.h"

using namespace quiddity;
using quiddity::test::Fixture;
using quiddity::test::ReadFixture;
using quiddity::test::RunCommand;
using quiddity::test::TypeOfBytes;

namespace {


bool HasTool(const std::string& probe) {
    int status = -1;
    RunCommand(probe + " >/dev/null 2>&1", &status);
    return status == 0;
}

}  // namespace

// Channels, rate and frame size as file(1) reads them from the same headers.
TEST(DetailFixtures, WaveAndAviHeadersAsFileReadsThem) {
    if (!HasTool("file --version")) GTEST_SKIP() << "file(1) is not installed";
    const std::pair<const char*, const char*> files[] = {
        {"pcm.wav", "mono 8000 Hz"}, {"s24.wav", "mono 8000 Hz"}, {"gsm.wav", "mono 8000 Hz"},
        {"g726.wav", "mono 8000 Hz"}, {"ac3.wav", "mono 48000 Hz"}, {"piped.avi", "32 x 16"},
        {"seekable.avi", "32 x 16"},
    };
    for (const auto& [name, fields] : files) {
        const std::string path = Fixture(std::string("details/") + name);
        std::string ours;
        EstimateFileType(path, ours);
        EXPECT_NE(RunCommand("file -b '" + path + "'").find(fields), std::string::npos) << name;
        std::string same = fields;  // ours writes "Mono"
        same[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(same[0])));
        EXPECT_NE(ours.find(" " + same + " "), std::string::npos) << name << ": " << ours;
    }
}

// Joliet and El Torito as isoinfo finds them in the same descriptors.
TEST(DetailFixtures, DiscImagesAsIsoinfoReadsThem) {
    if (!HasTool("isoinfo -version")) GTEST_SKIP() << "isoinfo (genisoimage) is not installed";
    for (const char* name : {"joliet.iso", "bridge.iso", "boot.iso", "hybrid.iso"}) {
        const std::string path = Fixture(std::string("details/") + name);
        std::string ours;
        EstimateFileType(path, ours);
        const std::string theirs = RunCommand("isoinfo -d -i '" + path + "'");
        ASSERT_NE(theirs.find("CD-ROM is in ISO 9660 format"), std::string::npos) << name;
        EXPECT_EQ(ours.find(", Joliet") != std::string::npos, theirs.find("Joliet with UCS") != std::string::npos) << name;
        EXPECT_EQ(ours.find(", ElTorito") != std::string::npos, theirs.find("El Torito VD") != std::string::npos) << name;
    }
}

// A cut file keeps its signature and loses the texts of what was cut off,
// from the end: the describers stop quietly where the bytes end.  Disc
// images are cut at a sector's end and a byte before (only whole sectors count).
TEST(DetailFixtures, CutFilesLoseTextsFromTheEnd) {
    for (const char* file : {"details/video.rm", "details/video.wmv", "details/bridge.iso", "details/hybrid.iso"}) {
        const std::vector<std::uint8_t> bytes = ReadFixture(file);
        const std::string whole = TypeOfBytes(bytes);
        const bool disc = std::string_view(file).ends_with(".iso");
        for (std::size_t cut = disc ? 18 * 2048 - 1 : 64; cut < (disc ? 24 * 2048 : bytes.size()); ++cut) {
            if (disc && cut % 2048 > 0 && cut % 2048 < 2047) continue;
            const std::string type = TypeOfBytes(std::span(bytes).first(cut));
            ASSERT_EQ(whole.substr(0, type.size()), type) << file << " cut at " << cut;
        }
    }
    // Without sector 16 whole the hybrid image is the partition map alone.
    const std::vector<std::uint8_t> hybrid = ReadFixture("details/hybrid.iso");
    EXPECT_EQ(TypeOfBytes(std::span(hybrid).first(17 * 2048 - 1)), "HFS or HFS+ disc image ");
    EXPECT_EQ(TypeOfBytes(std::span(hybrid).first(17 * 2048)), "ISO 9660 CD/DVD image, HFS/HFS+ (Hybrid) ");
}
