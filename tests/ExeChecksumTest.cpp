// The "Checksum" section: zlib's CRC-32 of the whole file, below the size
// limit, and only for files that could be read.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <dirent.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "TestSupport.h"
#include "core/InfoReport.h"
#include "executable/Checksum.h"

using namespace quiddity;
using quiddity::test::CRecordingPane;
using quiddity::test::CTempDir;
using quiddity::test::Fixture;

namespace {

std::vector<std::uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string ZlibCrcText(const std::vector<std::uint8_t>& bytes) {
    char text[9];
    std::snprintf(text, sizeof text, "%08lX", ::crc32(0L, bytes.data(), static_cast<uInt>(bytes.size())));
    return text;
}

// The report's executable part alone, for folder + name.
CRecordingPane ReportOf(const std::string& folder, const std::string& name, CReportSwitches switches = {}) {
    CRecordingPane pane;
    CFileInspector inspector(name, folder, pane, InitTextStyles(), switches);
    inspector.ReportExecutable();
    return pane;
}

// The checksum text shown, or "" when there is no section.
std::string ShownChecksum(const CRecordingPane& pane) {
    const std::string text = pane.Text();
    const std::size_t at = text.find("\nChecksum\nCRC-32: ");
    if (at == std::string::npos) return "";
    return text.substr(at + 18, 8);
}

// A source that promises more bytes than it delivers, as a file does that
// shrinks while it is read.
class CShrinkingSource : public IByteSource {
public:
    std::uint64_t Size() const override { return 300'000; }
    std::size_t ReadAt(std::uint64_t offset, std::span<std::uint8_t> buffer) const override {
        if (offset >= 100'000) return 0;
        std::fill(buffer.begin(), buffer.end(), 0x5A);
        return std::min<std::size_t>(buffer.size(), 100'000 - offset);
    }
};

}  // namespace

TEST(ExeChecksum, EqualsZlibForEveryPeFixture) {
    const std::string folder = Fixture("pe/");
    DIR* dir = ::opendir(folder.c_str());
    ASSERT_NE(dir, nullptr);
    int checked = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        const CRecordingPane pane = ReportOf(folder, name);
        EXPECT_EQ(ShownChecksum(pane), ZlibCrcText(ReadAll(folder + name))) << name;
        ++checked;
    }
    ::closedir(dir);
    EXPECT_GE(checked, 10);
}

TEST(ExeChecksum, SectionLayoutAndStyles) {
    CTempDir dir;
    dir.Write("abc.txt", "123456789");  // the CRC-32 check value is CBF43926
    const CRecordingPane pane = ReportOf(dir.Folder(), "abc.txt");
    ASSERT_EQ(pane.runs.size(), 3u);  // a text file: no executable section
    EXPECT_EQ(pane.runs[0].text, "\nChecksum\n");
    EXPECT_EQ(pane.runs[0].style, EStyle::Heading);
    EXPECT_EQ(pane.runs[1].text, "CRC-32: ");
    EXPECT_EQ(pane.runs[2].text, "CBF43926\n\n");
    EXPECT_EQ(pane.runs[2].style, EStyle::Normal);

    CReportSwitches off;
    off.ShowChecksum = false;
    EXPECT_TRUE(ReportOf(dir.Folder(), "abc.txt", off).runs.empty());
}

TEST(ExeChecksum, EmptyFileKeepsItsTrueZeroCrc) {
    CTempDir dir;
    dir.Write("empty", "");
    EXPECT_EQ(ShownChecksum(ReportOf(dir.Folder(), "empty")), "00000000");
}

TEST(ExeChecksum, UnreadableFilesGetNoSection) {
    CTempDir dir;
    EXPECT_TRUE(ReportOf(dir.Folder(), "vanished.bin").runs.empty());
    ::mkdir(dir.Path("folder").c_str(), 0700);
    EXPECT_TRUE(ReportOf(dir.Folder(), "folder").runs.empty());
    // A FIFO is never opened, so the report neither blocks nor reads it.
    ASSERT_EQ(::mkfifo(dir.Path("pipe").c_str(), 0600), 0);
    EXPECT_TRUE(ReportOf(dir.Folder(), "pipe").runs.empty());
    if (::geteuid() != 0) {  // root reads whatever the mode says
        dir.Write("secret", "locked away");
        ::chmod(dir.Path("secret").c_str(), 0);
        EXPECT_TRUE(ReportOf(dir.Folder(), "secret").runs.empty());
    }
}

TEST(ExeChecksum, FileThatShrinksWhileReadGetsNone) {
    EXPECT_FALSE(ComputeFileCrc32(CShrinkingSource()).has_value());
}

TEST(ExeChecksum, BlocksOfEverySizeFoldAlike) {
    // Lengths around the read block and zlib's own inner loops.
    CTempDir dir;
    for (const std::size_t length : {1ul, 31ul, 102'400ul, 262'143ul, 262'144ul, 262'145ul, 600'001ul}) {
        std::vector<std::uint8_t> bytes(length);
        std::uint32_t state = 12345;
        for (std::uint8_t& b : bytes) b = static_cast<std::uint8_t>((state = state * 1103515245 + 12345) >> 16);
        const std::string path = dir.Write("block", bytes);
        CReadOnlyFile file;
        ASSERT_TRUE(file.Open(path));
        const std::optional<std::uint32_t> crc = ComputeFileCrc32(CFileByteSource(file));
        ASSERT_TRUE(crc.has_value());
        EXPECT_EQ(*crc, ::crc32(0L, bytes.data(), static_cast<uInt>(bytes.size()))) << length;
    }
}

TEST(ExeChecksum, SizeLimitIsTenMillionBytes) {
    CTempDir dir;
    // Sparse files: nothing but a size.
    const std::string below = dir.Write("below", "");
    const std::string at = dir.Write("at", "");
    ASSERT_EQ(::truncate(below.c_str(), 9'999'999), 0);
    ASSERT_EQ(::truncate(at.c_str(), 10'000'000), 0);
    const std::vector<std::uint8_t> zeros(9'999'999, 0);
    EXPECT_EQ(ShownChecksum(ReportOf(dir.Folder(), "below")), ZlibCrcText(zeros));
    EXPECT_TRUE(ReportOf(dir.Folder(), "at").runs.empty());
}
