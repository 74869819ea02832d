// Files made by the real tools (tests/fixtures/details/make-fixtures.sh),
// whose type lines the golden reports pin, checked where an independent
// tool reads the same fields: file(1) for WAVE and AVI headers, isoinfo for
// the volume descriptors; and cut short.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "RecognizerSupport.h"
#include "TestSupport.h"
#include "recognizer/Recognizer.h"

using namespace quiddity;
using quiddity::test::Fixture;
using quiddity::test::RunCommand;
using quiddity::test::TypeOfBytes;

namespace {

std::string TypeOfFixture(const std::string& relative) {
    std::string out;
    EXPECT_TRUE(EstimateFileType(Fixture(relative), out)) << relative;
    return out;
}

std::vector<std::uint8_t> BytesOf(const std::string& relative) {
    std::ifstream in(Fixture(relative), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool HasTool(const std::string& probe) {
    int status = -1;
    RunCommand(probe + " >/dev/null 2>&1", &status);
    return status == 0;
}

}  // namespace

// Channels and rate as file(1) reads them from the same headers.
TEST(DetailFixtures, WaveAndAviHeadersAsFileReadsThem) {
    if (!HasTool("file --version")) GTEST_SKIP() << "file(1) is not installed";
    for (const char* name : {"pcm", "s24", "alaw", "ima", "gsm", "g726", "mp3", "ac3"}) {
        const std::string relative = std::string("details/") + name + ".wav";
        const std::string ours = TypeOfFixture(relative);
        const std::string theirs = RunCommand("file -b '" + Fixture(relative) + "'");
        // "RIFF Wave Mono 8000 Hz ..." against "..., mono 8000 Hz"
        const std::size_t hz = ours.find(" Hz ");
        ASSERT_NE(hz, std::string::npos) << ours;
        const std::string rate = ours.substr(ours.find("Mono ") + 5, hz - ours.find("Mono ") - 5);
        EXPECT_NE(theirs.find("mono " + rate + " Hz"), std::string::npos) << relative << ": " << theirs;
    }
    for (const char* name : {"piped.avi", "seekable.avi"}) {
        const std::string relative = std::string("details/") + name;
        const std::string theirs = RunCommand("file -b '" + Fixture(relative) + "'");
        EXPECT_NE(theirs.find("AVI, 32 x 16,"), std::string::npos) << theirs;
        EXPECT_NE(TypeOfFixture(relative).find(" 32 x 16 "), std::string::npos);
    }
}

// Joliet and El Torito as isoinfo finds them in the same descriptors.
TEST(DetailFixtures, DiscImagesAsIsoinfoReadsThem) {
    if (!HasTool("isoinfo -version")) GTEST_SKIP() << "isoinfo (genisoimage) is not installed";
    for (const char* name : {"joliet.iso", "bridge.iso", "boot.iso", "hybrid.iso"}) {
        const std::string relative = std::string("details/") + name;
        const std::string ours = TypeOfFixture(relative);
        const std::string theirs = RunCommand("isoinfo -d -i '" + Fixture(relative) + "'");
        ASSERT_NE(theirs.find("CD-ROM is in ISO 9660 format"), std::string::npos) << name << ": " << theirs;
        EXPECT_EQ(ours.find(", Joliet") != std::string::npos, theirs.find("Joliet with UCS level") != std::string::npos)
            << name;
        EXPECT_EQ(ours.find(", ElTorito") != std::string::npos, theirs.find("El Torito VD version") != std::string::npos)
            << name;
    }
}

// A cut file keeps its signature and loses the texts of what was cut off,
// from the end: the describers stop quietly where the bytes end.
TEST(DetailFixtures, CutFilesLoseTextsFromTheEnd) {
    const auto expectPrefix = [](const char* file, const std::vector<std::uint8_t>& bytes, std::size_t cut) {
        const std::string whole = TypeOfBytes(bytes);
        const std::string type = TypeOfBytes(std::span(bytes).first(cut));
        EXPECT_EQ(whole.substr(0, type.size()), type) << file << " cut at " << cut;
    };
    for (const char* file : {"details/video.rm", "details/video.wmv"}) {
        const std::vector<std::uint8_t> bytes = BytesOf(file);
        for (std::size_t cut = 64; cut < bytes.size(); ++cut) expectPrefix(file, bytes, cut);
    }
    // Only whole sectors count: each cut at a sector's end and a byte before.
    for (const char* file : {"details/bridge.iso", "details/hybrid.iso"}) {
        const std::vector<std::uint8_t> bytes = BytesOf(file);
        for (std::size_t end = 17 * 2048; end <= 24 * 2048; end += 2048) {
            if (end > 17 * 2048) expectPrefix(file, bytes, end - 1);  // without sector 16 whole, no descriptor
            expectPrefix(file, bytes, end);
        }
    }
    const std::vector<std::uint8_t> hybrid = BytesOf("details/hybrid.iso");
    EXPECT_EQ(TypeOfBytes(std::span(hybrid).first(17 * 2048 - 1)), "HFS or HFS+ disc image ");
    EXPECT_EQ(TypeOfBytes(std::span(hybrid).first(17 * 2048)), "ISO 9660 CD/DVD image, HFS/HFS+ (Hybrid) ");
}
