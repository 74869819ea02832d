// The "Checksum" section: zlib's CRC-32 of the whole file, below the size
// limit, and only for files that could be read.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include "TestSupport.h"
#include "report/InfoReport.h"
#include "executable/ExeAnalysis.h"
#include "executable/Checksum.h"

using namespace quiddity;
using namespace quiddity::test;

namespace {

std::string ZlibCrcText(const std::vector<std::uint8_t>& bytes) {
    char text[9];
    std::snprintf(text, sizeof text, "%08lX", ::crc32(0L, bytes.data(), static_cast<uInt>(bytes.size())));
    return text;
}

// The report of folder + name after its file line and empty file block;
// for any but a font, a compound document or an executable, the checksum.
CRecordingPane ReportOf(const std::string& folder, const std::string& name, CReportSwitches switches = {}) {
    switches.ShowFileInfo = switches.ShowEstimated = switches.ShowExe = false;
    CRecordingPane pane;
    CFileInspector(name, folder, pane, InitTextStyles(), switches).BuildInfoReport();
    pane.runs.erase(pane.runs.begin(), pane.runs.begin() + 3);  // heading, file line, "\n"
    return pane;
}

// The checksum text shown, or "" when there is no section.
std::string ShownChecksum(const CRecordingPane& pane) {
    const std::string text = pane.Text();
    const std::size_t at = text.find("\nChecksum\nCRC-32: ");
    return at == std::string::npos ? "" : text.substr(at + 18, 8);
}

// Promises more bytes than it holds, as a file does that shrinks while it is read.
struct CShrinkingSource : CMemoryByteSource {
    using CMemoryByteSource::CMemoryByteSource;
    std::uint64_t Size() const override { return 300'000; }
};

}  // namespace

TEST(ExeChecksum, SectionLayoutAndStyles) {
    CTempDir dir;
    dir.Write("abc.txt", "123456789");  // the CRC-32 check value is CBF43926
    const CRecordingPane pane = ReportOf(dir.Folder(), "abc.txt");
    ASSERT_EQ(pane.runs.size(), 3u);  // a text file: no executable section
    EXPECT_EQ(pane.Text(), "\nChecksum\nCRC-32: CBF43926\n\n");
    EXPECT_EQ(pane.runs[0].style, EStyle::Heading);
    EXPECT_EQ(pane.runs[2].style, EStyle::Normal);

    CReportSwitches off;
    off.ShowChecksum = false;
    EXPECT_TRUE(ReportOf(dir.Folder(), "abc.txt", off).runs.empty());
}

TEST(ExeChecksum, EmptyFileHasItsTrueCrcAndUnreadableFilesNone) {
    CTempDir dir;
    dir.Write("empty", "");
    EXPECT_EQ(ShownChecksum(ReportOf(dir.Folder(), "empty")), "00000000");

    EXPECT_TRUE(ReportOf(dir.Folder(), "vanished.bin").runs.empty());
    ::mkdir(dir.Path("folder").c_str(), 0700);
    EXPECT_TRUE(ReportOf(dir.Folder(), "folder").runs.empty());
    if (::geteuid() != 0) {  // root reads whatever the mode says
        dir.Write("secret", "locked away");
        ::chmod(dir.Path("secret").c_str(), 0);
        EXPECT_TRUE(ReportOf(dir.Folder(), "secret").runs.empty());
    }
    EXPECT_FALSE(ComputeFileCrc32(CShrinkingSource(std::vector<std::uint8_t>(100'000, 0x5A))).has_value());
}

TEST(ExeChecksum, BlocksOfEverySizeFoldAlike) {
    for (const std::size_t length : {262'143ul, 262'144ul, 262'145ul, 600'001ul}) {  // around the read block
        std::vector<std::uint8_t> bytes(length);
        for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
        EXPECT_EQ(ComputeFileCrc32(CMemoryByteSource(bytes)), ::crc32(0L, bytes.data(), static_cast<uInt>(length)))
            << length;
    }
}

TEST(ExeChecksum, SizeLimitIsTenMillionBytes) {
    CTempDir dir;
    // Sparse files: nothing but a size.
    ASSERT_EQ(::truncate(dir.Write("below", "").c_str(), 9'999'999), 0);
    ASSERT_EQ(::truncate(dir.Write("at", "").c_str(), 10'000'000), 0);
    EXPECT_EQ(ShownChecksum(ReportOf(dir.Folder(), "below")), ZlibCrcText(std::vector<std::uint8_t>(9'999'999, 0)));
    EXPECT_TRUE(ReportOf(dir.Folder(), "at").runs.empty());
}
