// EXIF lines of real pictures checked against exiftool, and crafted JPEG
// sections and TIFF directories for the damaged and hostile cases.  The
// full lines of every fixture are pinned by its golden report.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>
#include <vector>

#include "TestSupport.h"
#include "core/TextFormat.h"
#include "formats/Exif.h"

using namespace quiddity;
using quiddity::test::Fixture;
using quiddity::test::ReadWholeFile;
using quiddity::test::RunCommand;

namespace {

using Bytes = std::vector<std::uint8_t>;

std::string ExifOf(const Bytes& bytes) {
    std::string out = "stale";
    ReportExif(CMemoryByteSource(bytes), out);
    return out;
}

// The value of one line of the EXIF text ("" when absent).
std::string LineValue(const std::string& lines, const std::string& label) {
    const std::size_t at = lines.find(label);
    if (at == std::string::npos) return "";
    const std::size_t from = at + label.size();
    return lines.substr(from, lines.find('\n', from) - from);
}

// TIFF data in either byte order, written field by field.
class CTiff {
public:
    explicit CTiff(bool motorola, std::size_t size = 256) : m_bMotorola(motorola), m_bytes(size, 0) {}

    void Put16(std::size_t at, std::uint16_t v) {
        Put(at, m_bMotorola ? v >> 8 : v & 0xFF);
        Put(at + 1, m_bMotorola ? v & 0xFF : v >> 8);
    }
    void Put32(std::size_t at, std::uint32_t v) {
        Put16(at + (m_bMotorola ? 0 : 2), static_cast<std::uint16_t>(v >> 16));
        Put16(at + (m_bMotorola ? 2 : 0), static_cast<std::uint16_t>(v & 0xFFFF));
    }
    void PutText(std::size_t at, std::string_view text) {
        for (std::size_t i = 0; i < text.size(); ++i) Put(at + i, static_cast<std::uint8_t>(text[i]));
    }
    // The 8-byte header: byte order, 42, offset of the first directory.
    void Header(std::uint32_t firstDirectory) {
        PutText(0, m_bMotorola ? "MM" : "II");
        Put16(2, 42);
        Put32(4, firstDirectory);
    }
    // One 12-byte entry of the directory whose count lies at `directory`.
    void Entry(std::size_t directory, std::size_t index, std::uint16_t tag, std::uint16_t format, std::uint32_t count,
               std::uint32_t valueOrOffset) {
        const std::size_t at = directory + 2 + 12 * index;
        Put16(at, tag);
        Put16(at + 2, format);
        Put32(at + 4, count);
        Put32(at + 8, valueOrOffset);
    }
    // A short value sits in the first bytes of the value field.
    void ShortEntry(std::size_t directory, std::size_t index, std::uint16_t tag, std::uint16_t value) {
        Entry(directory, index, tag, 3, 1, 0);
        Put16(directory + 2 + 12 * index + 8, value);
    }
    void Put(std::size_t at, unsigned value) {
        if (at >= m_bytes.size()) m_bytes.resize(at + 1);
        m_bytes[at] = static_cast<std::uint8_t>(value);
    }
    const Bytes& Data() const { return m_bytes; }

private:
    bool m_bMotorola;
    Bytes m_bytes;
};

void AppendSection(Bytes& jpeg, std::uint8_t marker, const Bytes& data) {
    const std::size_t length = data.size() + 2;
    jpeg.insert(jpeg.end(), {0xFF, marker, static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length)});
    jpeg.insert(jpeg.end(), data.begin(), data.end());
}

Bytes ExifData(const Bytes& tiff) {
    Bytes data{'E', 'x', 'i', 'f', 0, 0};
    data.insert(data.end(), tiff.begin(), tiff.end());
    return data;
}

// A baseline frame of 640 x 480 in three components.
const Bytes kFrame{8, 0x01, 0xE0, 0x02, 0x80, 3, 1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1};
const Bytes kScan{1, 1, 0, 0, 63, 0};

// Start of image, the given sections before the Exif block, the Exif block,
// a frame and the start of the scan.
Bytes Jpeg(const Bytes& tiff, int sectionsBefore = 0) {
    Bytes jpeg{0xFF, 0xD8};
    for (int i = 0; i < sectionsBefore; ++i) AppendSection(jpeg, 0xE2, {'I', 'C', 'C'});
    AppendSection(jpeg, 0xE1, ExifData(tiff));
    AppendSection(jpeg, 0xC0, kFrame);
    AppendSection(jpeg, 0xDA, kScan);
    return jpeg;
}

// IFD0 at 8 with the camera make "Maker" (stored at 0x80) and a pointer to
// an Exif sub-directory at 0x40 holding an exposure time of 1/250 (at 0x90).
CTiff CameraTiff(bool motorola) {
    CTiff t(motorola);
    t.Header(8);
    t.Put16(8, 2);                           // IFD0: two entries
    t.Entry(8, 0, 0x010F, 2, 6, 0x80);       //   make: ASCII, 6 bytes at 0x80
    t.Entry(8, 1, 0x8769, 4, 1, 0x40);       //   Exif sub-directory at 0x40
    t.Put32(8 + 2 + 24, 0);                  //   no next directory
    t.PutText(0x80, std::string_view("Maker\0", 6));
    t.Put16(0x40, 1);                        // Exif IFD: one entry
    t.Entry(0x40, 0, 0x829A, 5, 1, 0x90);    //   exposure time: rational at 0x90
    t.Put32(0x90, 1);                        //     numerator
    t.Put32(0x94, 250);                      //     denominator
    return t;
}

}  // namespace

// The fixtures come from tools/exiftool; their byte-order twins must agree
// line by line, and the facts must agree with exiftool's reading.
TEST(Exif, RealPicturesAgreeWithExiftool) {
    const std::string intel = ExifOf(ReadWholeFile(Fixture("exif/camera-ii.jpg")));
    EXPECT_EQ(intel, ExifOf(ReadWholeFile(Fixture("exif/camera-mm.jpg"))));

    const std::string oracle =
        RunCommand("exiftool -s3 -n -Make -Model -DateTimeOriginal -ImageWidth -ImageHeight -FNumber -ISO '" +
                   Fixture("exif/camera-ii.jpg") + "'");
    ASSERT_FALSE(oracle.empty()) << "exiftool (libimage-exiftool-perl) is needed";
    char make[64] = {}, model[64] = {}, date[32] = {}, time[32] = {};
    int width = 0, height = 0, iso = 0;
    double fNumber = 0;
    ASSERT_EQ(std::sscanf(oracle.c_str(), "%63[^\n]\n%63[^\n]\n%31s %31s\n%d\n%d\n%lf\n%d", make, model, date, time,
                          &width, &height, &fNumber, &iso),
              8)
        << oracle;
    EXPECT_EQ(LineValue(intel, "Camera make.......: "), make);
    EXPECT_EQ(LineValue(intel, "Camera model......: "), model);
    EXPECT_EQ(LineValue(intel, "Date/Time.........: "), std::string(date) + " " + time);
    EXPECT_EQ(LineValue(intel, "Width x Height....: "), std::to_string(width) + " x " + std::to_string(height));
    EXPECT_EQ(LineValue(intel, "Aperture..........: "), Format("f/%3.1f", fNumber));
    EXPECT_EQ(LineValue(intel, "ISO equiv.........: "), std::to_string(iso));
    const std::string exposure = RunCommand("exiftool -s3 -ExposureTime '" + Fixture("exif/camera-ii.jpg") + "'");
    EXPECT_EQ(LineValue(intel, "Exposure time.....: "), " 0.004 s  (" + exposure.substr(0, exposure.find('\n')) + ")");

    EXPECT_EQ(ExifOf(ReadWholeFile(Fixture("exif/jfif-only.jpg"))), "");
}

// A picture cut anywhere loses lines and never reads past its bytes.
TEST(Exif, TruncatedPictureNeverCrashes) {
    const Bytes whole = ReadWholeFile(Fixture("exif/camera-mm.jpg"));
    ASSERT_GT(whole.size(), 200u);
    for (std::size_t size = 0; size < whole.size(); size += 7) {
        const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
        const std::string lines = ExifOf(cut);
        // Lines come only from a whole Exif section.
        if (!lines.empty()) {
            EXPECT_NE(lines.find("Camera model......: QX-100 Mark II\n"), std::string::npos) << size;
        }
    }
}

TEST(Exif, CraftedBlocksInBothByteOrders) {
    for (const bool motorola : {false, true}) {
        const std::string lines = ExifOf(Jpeg(CameraTiff(motorola).Data()));
        EXPECT_EQ(lines,
                  "Camera make.......: Maker\n"
                  "Camera model......: \n"
                  "Width x Height....: 640 x 480\n"
                  "Flash used........: No\n"
                  "Exposure time.....:  0.004 s  (1/250)\n"
                  "Encoding..........: Baseline\n")
            << motorola;
    }
}

// Twenty held sections end the reading: an Exif block after them is never
// reached.  APP0 sections do not count.
TEST(Exif, HeldSectionsBeforeTheScan) {
    const Bytes tiff = CameraTiff(false).Data();
    // 17 sections, the Exif block and the frame: nineteen held, the scan reached.
    EXPECT_NE(ExifOf(Jpeg(tiff, 17)).find("Width x Height....: 640 x 480"), std::string::npos);
    // The Exif block as the twentieth: parsed, but the frame is never read.
    EXPECT_NE(ExifOf(Jpeg(tiff, 19)).find("Width x Height....: 0 x 0"), std::string::npos);
    EXPECT_EQ(ExifOf(Jpeg(tiff, 20)), "");

    Bytes jpeg{0xFF, 0xD8};
    for (int i = 0; i < 25; ++i) AppendSection(jpeg, 0xE0, {'J', 'F', 'I', 'F', 0});
    for (int i = 0; i < 25; ++i) AppendSection(jpeg, 0xFE, {'c'});  // only the first comment is held
    const Bytes withExif = Jpeg(tiff);
    jpeg.insert(jpeg.end(), withExif.begin() + 2, withExif.end());
    EXPECT_NE(ExifOf(jpeg).find("640 x 480"), std::string::npos);
}

TEST(Exif, DamagedJpegSections) {
    const Bytes tiff = CameraTiff(false).Data();
    Bytes jpeg = Jpeg(tiff);
    // Six fill bytes before a marker are allowed, seven are not.
    Bytes filled{0xFF, 0xD8, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};  // five here, the sixth before the marker
    filled.insert(filled.end(), jpeg.begin() + 2, jpeg.end());
    EXPECT_NE(ExifOf(filled).find("Maker"), std::string::npos);
    filled.insert(filled.begin() + 2, 0xFF);
    EXPECT_EQ(ExifOf(filled), "");

    // An APP1 section of length 8 (two length bytes and "Exif\0\0") has no
    // room for a TIFF header.
    const Bytes tooShort{0xFF, 0xD8,
                         0xFF, 0xE1, 0x00, 0x08, 'E', 'x', 'i', 'f', 0, 0,  // APP1, length 8
                         0xFF, 0xDA, 0x00, 0x02};                            // start of scan
    EXPECT_EQ(ExifOf(tooShort), "");

    // A start-of-frame section of length 4 holds no size: it reads as 0.
    Bytes shortFrame{0xFF, 0xD8};
    AppendSection(shortFrame, 0xE1, ExifData(tiff));
    AppendSection(shortFrame, 0xC2, {8, 0x01});  // precision, first byte of the height
    AppendSection(shortFrame, 0xDA, kScan);
    const std::string lines = ExifOf(shortFrame);
    EXPECT_NE(lines.find("Width x Height....: 0 x 0\n"), std::string::npos);
    EXPECT_NE(lines.find("Color/bw..........: Black and white\n"), std::string::npos);
    EXPECT_NE(lines.find("Encoding..........: Progressive\n"), std::string::npos);

    // An end of image before any scan still shows the Exif block.
    Bytes noScan{0xFF, 0xD8};
    AppendSection(noScan, 0xE1, ExifData(tiff));
    noScan.insert(noScan.end(), {0xFF, 0xD9, 0x00, 0x02});
    EXPECT_NE(ExifOf(noScan).find("Encoding..........: Unknown\n"), std::string::npos);
}

// The first directory may start 8 to 16 bytes in and is read where the
// header says.
TEST(Exif, FirstDirectoryOffset) {
    for (const std::uint32_t offset : {7u, 8u, 16u, 17u}) {
        CTiff t(false);
        t.Header(offset);
        t.Put16(8, 0xFFFF);                        // read at 8, this count runs past the data
        t.Put16(offset, 1);                        // one entry
        t.Entry(offset, 0, 0x010F, 2, 4, 0);       //   make: "Cam" inline
        t.PutText(offset + 2 + 8, "Cam");
        t.Put32(offset + 2 + 12, 0);               // no next directory
        const bool accepted = offset == 8 || offset == 16;
        EXPECT_EQ(LineValue(ExifOf(Jpeg(t.Data())), "Camera make.......: "), accepted ? "Cam" : "") << offset;
    }
}

TEST(Exif, HostileEntries) {
    auto firstDirectoryWith = [](std::uint16_t tag, std::uint16_t format, std::uint32_t count, std::uint32_t value) {
        CTiff t = CameraTiff(false);
        t.Put16(8, 3);                             // IFD0 now has a third entry
        t.Entry(8, 2, tag, format, count, value);
        t.Put32(8 + 2 + 36, 0);                    // no next directory
        return ExifOf(Jpeg(t.Data()));
    };
    EXPECT_NE(firstDirectoryWith(0x0131, 2, 4, 0).find("Maker"), std::string::npos);  // a harmless entry
    EXPECT_EQ(firstDirectoryWith(0x0131, 13, 1, 0), "");                 // format 13 fails IFD0
    EXPECT_EQ(firstDirectoryWith(0x010F, 2, 0x20, 0xFFFFFFF0), "");      // offset + count passes 2^32
    EXPECT_EQ(firstDirectoryWith(0x829A, 5, 0x40000000, 0x90), "");      // count x 8 passes 2^32
    EXPECT_EQ(firstDirectoryWith(0x8769, 4, 1, 0x10000), "");            // sub-directory past the data

    // Format 13 in the Exif sub-directory ends only that directory: the
    // entries before it count, the ones after it do not.
    CTiff t = CameraTiff(false);
    t.Put16(0x40, 3);                              // Exif IFD: three entries
    t.Entry(0x40, 1, 0x9999, 13, 1, 0);            //   format 13
    t.ShortEntry(0x40, 2, 0x8827, 800);            //   ISO 800, never read
    const std::string lines = ExifOf(Jpeg(t.Data()));
    EXPECT_NE(lines.find("Camera make.......: Maker\n"), std::string::npos);
    EXPECT_NE(lines.find("(1/250)"), std::string::npos);
    EXPECT_EQ(lines.find("ISO"), std::string::npos);
}

TEST(Exif, TextsStayInsideTheirBytes) {
    CTiff t(true);
    t.Header(8);
    t.Put16(8, 2);                                 // IFD0: two entries
    t.Entry(8, 0, 0x010F, 2, 6, 0x80 - 6);         //   make: six bytes that end the data, no NUL
    t.Entry(8, 1, 0x0110, 2, 1, 0);                //   model: one byte inline
    t.Put(8 + 2 + 12 + 8, 'M');
    t.Put32(8 + 2 + 24, 0);
    t.PutText(0x80 - 6, "Ab\ncd\x85");             // a line break; 0x85 is an ellipsis in Windows-1252
    Bytes tiff = t.Data();
    tiff.resize(0x80);
    std::string lines = ExifOf(Jpeg(tiff));
    EXPECT_EQ(LineValue(lines, "Camera make.......: "), "Ab.cd\xE2\x80\xA6");
    EXPECT_EQ(LineValue(lines, "Camera model......: "), "M");

    // One byte more than the data holds: the directory fails.
    t.Entry(8, 0, 0x010F, 2, 7, 0x80 - 6);
    tiff = t.Data();
    tiff.resize(0x80);
    EXPECT_EQ(ExifOf(Jpeg(tiff)), "");

    // A make longer than 31 characters is cut.
    t.Entry(8, 0, 0x010F, 2, 40, 0x40);
    t.PutText(0x40, "0123456789012345678901234567890123456789");
    EXPECT_EQ(LineValue(ExifOf(Jpeg(t.Data())), "Camera make.......: "), "0123456789012345678901234567890");
}

TEST(Exif, NumbersAtTheirLimits) {
    // Rationals are unsigned (format 5), floats follow the block's byte
    // order, and numbers beyond an int saturate.
    CTiff t(true);
    t.Header(8);
    t.Put16(8, 6);                                 // IFD0: six entries
    t.Entry(8, 0, 0x829D, 5, 1, 0x80);             //   F-number 0xC0000000 / 0x40000000
    t.Put32(0x80, 0xC0000000);
    t.Put32(0x84, 0x40000000);
    t.Entry(8, 1, 0x829A, 11, 1, std::bit_cast<std::uint32_t>(0.004f));  // exposure time: a float
    t.Entry(8, 2, 0x920A, 11, 1, std::bit_cast<std::uint32_t>(std::numeric_limits<float>::quiet_NaN()));
    t.Entry(8, 3, 0xA002, 4, 1, 3000);             //   pixel width
    t.Entry(8, 4, 0xA20E, 12, 1, 0x88);            //   focal-plane resolution: a double
    const std::uint64_t huge = std::bit_cast<std::uint64_t>(1e30);
    t.Put32(0x88, static_cast<std::uint32_t>(huge >> 32));
    t.Put32(0x8C, static_cast<std::uint32_t>(huge));
    t.ShortEntry(8, 5, 0xA210, 4);                 //   focal-plane unit: mm
    t.Put32(8 + 2 + 72, 0);
    std::string lines = ExifOf(Jpeg(t.Data()));
    EXPECT_NE(lines.find("Aperture..........: f/3.0\n"), std::string::npos) << lines;
    EXPECT_NE(lines.find("Exposure time.....:  0.004 s  (1/250)\n"), std::string::npos) << lines;
    // A NaN focal length over a tiny CCD: the line shows, the equivalent is 0.
    EXPECT_NE(lines.find("Focal length......:  nan"), std::string::npos) << lines;
    EXPECT_NE(lines.find("(35mm equivalent: 0mm)"), std::string::npos) << lines;

    // A real focal length over the tiny CCD width: the largest int.
    t.Entry(8, 2, 0x920A, 3, 1, 0);
    t.Put16(8 + 2 + 24 + 8, 50);
    lines = ExifOf(Jpeg(t.Data()));
    EXPECT_NE(lines.find("(35mm equivalent: 2147483647mm)"), std::string::npos) << lines;
    // An exposure of 10^-30 s: the fraction saturates as well.
    t.Entry(8, 1, 0x829A, 12, 1, 0x90);
    const std::uint64_t tiny = std::bit_cast<std::uint64_t>(1e-30);
    t.Put32(0x90, static_cast<std::uint32_t>(tiny >> 32));
    t.Put32(0x94, static_cast<std::uint32_t>(tiny));
    EXPECT_NE(ExifOf(Jpeg(t.Data())).find("(1/2147483647)"), std::string::npos);
}

// A directory chain back to itself, and a directory with many sub-directory
// entries that all point back to it: without the visited set the second
// fans out eight levels deep and never ends (ctest stops it after 10 s).
TEST(ExifWalkLimits, CyclesEnd) {
    CTiff chain = CameraTiff(false);
    chain.Put32(8 + 2 + 24, 8);                    // IFD0: next directory is IFD0
    chain.Put16(0x40, 2);                          // Exif IFD: a second entry
    chain.Entry(0x40, 1, 0x8769, 4, 1, 8);         //   sub-directory: back to IFD0
    chain.Put32(0x40 + 2 + 24, 0x40);              //   next directory: itself
    EXPECT_NE(ExifOf(Jpeg(chain.Data())).find("(1/250)"), std::string::npos);

    CTiff fan(false, 0x400);
    fan.Header(8);
    constexpr std::uint16_t kEntries = 60;
    fan.Put16(8, kEntries);
    for (std::uint16_t i = 0; i < kEntries; ++i) fan.Entry(8, i, i % 2 ? 0x8769 : 0xA005, 4, 1, 8);
    fan.Put32(8 + 2 + 12 * kEntries, 8);
    EXPECT_NE(ExifOf(Jpeg(fan.Data())).find("640 x 480"), std::string::npos);
}
