// JPEG sections (ITU-T T.81, annex B) and EXIF data (CIPA DC-008, "Exif
// 2.32", with the TIFF 6.0 directory layout).
#include "formats/Exif.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <numbers>
#include <span>
#include <string_view>
#include <vector>

#include "core/TextFormat.h"
#include "core/TextHelpers.h"

namespace quiddity {

namespace {

// Reading stops with this many sections held before the scan.
constexpr int kMaxHeldSections = 20;
// A marker may follow this many fill bytes (0xFF); one more ends reading.
constexpr int kMaxFillBytes = 6;

constexpr std::uint8_t kMarkerStartOfImage = 0xD8;
constexpr std::uint8_t kMarkerEndOfImage = 0xD9;
constexpr std::uint8_t kMarkerStartOfScan = 0xDA;
constexpr std::uint8_t kMarkerApp0 = 0xE0;
constexpr std::uint8_t kMarkerApp1 = 0xE1;
constexpr std::uint8_t kMarkerComment = 0xFE;
constexpr std::uint8_t kFirstFrameMarker = 0xC0;

// "Exif", two zero bytes, then the 8-byte TIFF header: a shorter APP1
// section (its length field counts the two length bytes too) has no EXIF
// data, and its length less 8 cannot wrap.
constexpr std::string_view kExifMark{"Exif\0\0", 6};
constexpr std::size_t kTiffStart = 6;
constexpr std::uint32_t kLengthBeforeTiff = 8;
constexpr std::uint32_t kMinExifLength = kLengthBeforeTiff + 8;
constexpr std::uint16_t kTiffMagic = 42;
// Where the first directory may start (right after the header, or a little
// further on).
constexpr std::uint32_t kFirstDirectoryFrom = 8;
constexpr std::uint32_t kFirstDirectoryTo = 16;
constexpr std::size_t kEntryBytes = 12;
constexpr std::size_t kInlineValueBytes = 4;

// Bytes per component of the formats 1..12: byte, ASCII, short, long,
// rational, signed byte, undefined, signed short, signed long, signed
// rational, single, double.
constexpr std::array<std::uint64_t, 13> kBytesPerComponent{0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8};
constexpr std::uint16_t kLastFormat = 12;
constexpr std::uint16_t kUnsignedRational = 5;
constexpr std::uint32_t kInfiniteNumerator = 0xFFFFFFFF;

// How many characters each text field keeps.
constexpr std::size_t kMaxMake = 31;
constexpr std::size_t kMaxModel = 39;
constexpr std::size_t kMaxDateTime = 19;
constexpr std::size_t kVersionLength = 4;

struct UnitRow {
    int code;
    float inchesPerUnit;
};

// Resolution units as inches per unit; 1 (no unit) is taken as inches.
constexpr UnitRow kUnits[] = {
    {1, 1.0f}, {2, 1.0f}, {3, 0.3937008f}, {4, 0.03937008f}, {5, 0.00003937008f},
};

struct ProcessRow {
    int marker;
    const char* text;
};

constexpr ProcessRow kProcesses[] = {
    {0xC0, "Baseline\n"},
    {0xC1, "Extended sequential\n"},
    {0xC2, "Progressive\n"},
    {0xC3, "Lossless\n"},
    {0xC5, "Differential sequential\n"},
    {0xC6, "Differential progressive\n"},
    {0xC7, "Differential lossless\n"},
    {0xC9, "Extended sequential, arithmetic coding\n"},
    {0xCA, "Progressive, arithmetic coding\n"},
    {0xCB, "Lossless, arithmetic coding\n"},
    {0xCD, "Differential sequential, arithmetic coding\n"},
    {0xCE, "Differential progressive, arithmetic coding\n"},
    {0xCF, "Differential lossless, arithmetic coding\n"},
};

// What orientations 2..8 ask of a viewer to show the picture upright.
constexpr const char* kOrientations[] = {
    "mirror horizontal",
    "rotate 180",
    "mirror vertical",
    "mirror horizontal, rotate 270 CW",
    "rotate 90 CW",
    "mirror horizontal, rotate 90 CW",
    "rotate 270 CW",
};
constexpr int kFirstNamedOrientation = 2;
constexpr int kLastOrientation = 8;

bool IsFrameMarker(std::uint8_t marker) {
    // 0xC4 (Huffman tables), 0xC8 (reserved) and 0xCC (arithmetic
    // conditioning) share the range without starting a frame.
    return marker >= kFirstFrameMarker && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// The integer part of a value, held to the range of int; NaN gives 0.
int TruncateToInt(double value) {
    if (std::isnan(value)) return 0;
    if (value >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    if (value <= static_cast<double>(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

// A text value: at most `limit` bytes, up to its first zero byte.
std::string CopyText(const CByteReader& value, std::size_t limit) {
    const std::uint8_t* begin = value.Data();
    const std::uint8_t* end = begin + std::min(value.Size(), limit);
    return std::string(begin, std::find(begin, end, 0));
}

void ConvertUnit(int code, float& field) {
    for (const UnitRow& row : kUnits)
        if (row.code == code) field = row.inchesPerUnit;
}

// A text from the file on its one line: Windows-1252, controls as ".".
std::string Showable(const std::string& raw) {
    std::string text;
    AppendWindows1252AsUtf8(std::span(reinterpret_cast<const std::uint8_t*>(raw.data()), raw.size()), text);
    DotControlCharacters(text);
    return text;
}

const char* ProcessText(int process) {
    for (const ProcessRow& row : kProcesses)
        if (row.marker == process) return row.text;
    return "Unknown\n";
}

void AppendExifLines(const ExifImageInfo& info, std::string& out) {
    if (!info.cameraMake.empty()) {
        AppendFormat(out, "Camera make.......: %s\n", Showable(info.cameraMake).c_str());
        AppendFormat(out, "Camera model......: %s\n", Showable(info.cameraModel).c_str());
    }
    if (!info.dateTime.empty()) AppendFormat(out, "Date/Time.........: %s\n", Showable(info.dateTime).c_str());
    if (!info.version.empty()) AppendFormat(out, "Exif version......: %s\n", Showable(info.version).c_str());
    AppendFormat(out, "Width x Height....: %d x %d\n", info.width, info.height);
    if (info.resolutionUnit != 0) {
        if (info.xResolution != 0) AppendFormat(out, "X resolution (dpi): %5.1f\n", info.xResolution / info.resolutionUnit);
        if (info.yResolution != 0) AppendFormat(out, "Y resolution (dpi): %5.1f\n", info.yResolution / info.resolutionUnit);
    }
    if (info.orientation >= kFirstNamedOrientation && info.orientation <= kLastOrientation)
        AppendFormat(out, "Orientation.......: %s\n", kOrientations[info.orientation - kFirstNamedOrientation]);
    if (info.isColour == 0) out += "Color/bw..........: Black and white\n";
    AppendFormat(out, "Flash used........: %s\n", info.flashUsed ? "Yes" : "No");
    if (info.focalLength != 0) {
        AppendFormat(out, "Focal length......: %4.1fmm", info.focalLength);
        if (info.ccdWidth != 0)
            AppendFormat(out, "  (35mm equivalent: %dmm)",
                         TruncateToInt(static_cast<double>(info.focalLength) / info.ccdWidth * 36 + 0.5));
        out += "\n";
    }
    if (info.ccdWidth != 0) AppendFormat(out, "CCD width.........: %4.2fmm\n", info.ccdWidth);
    if (info.exposureTime != 0) {
        AppendFormat(out, "Exposure time.....: %6.3f s ", info.exposureTime);
        if (info.exposureTime <= 0.5f) AppendFormat(out, " (1/%d)", TruncateToInt(1.0 / info.exposureTime + 0.5));
        out += "\n";
    }
    if (info.brightness != 0) AppendFormat(out, "Brightness........: %6.3f\n", info.brightness);
    if (info.apertureFNumber != 0) AppendFormat(out, "Aperture..........: f/%3.1f\n", info.apertureFNumber);
    if (info.subjectDistance != 0) {
        if (info.subjectDistance < 0) out += "Focus dist........: Infinite\n";
        else AppendFormat(out, "Focus dist........: %4.2fm\n", info.subjectDistance);
    }
    if (info.isoEquivalent != 0) AppendFormat(out, "ISO equiv.........: %2d\n", info.isoEquivalent);
    if (info.exposureBias != 0) AppendFormat(out, "Exposure bias.....:%4.2f\n", info.exposureBias);
    switch (info.whiteBalance) {
        case 0: break;
        case 1: out += "Whitebalance......: sunny\n"; break;
        case 2: out += "Whitebalance......: fluorescent\n"; break;
        case 3: out += "Whitebalance......: incandescent\n"; break;
        default: out += "Whitebalance......: cloudy\n"; break;
    }
    switch (info.meteringMode) {
        case 2: out += "Metering Mode.....: center weight\n"; break;
        case 3: out += "Metering Mode.....: spot\n"; break;
        case 5: out += "Metering Mode.....: matrix\n"; break;
        default: break;
    }
    switch (info.exposureProgram) {
        case 2: out += "Exposure..........: program (auto)\n"; break;
        case 3: out += "Exposure..........: aperture priority (semi-auto)\n"; break;
        case 4: out += "Exposure..........: shutter priority (semi-auto)\n"; break;
        default: break;
    }
    switch (info.compressionLevel) {
        case 1: out += "Jpeg Quality......: basic\n"; break;
        case 2: out += "Jpeg Quality......: normal\n"; break;
        case 4: out += "Jpeg Quality......: fine\n"; break;
        default: break;
    }
    out += "Encoding..........: ";
    out += ProcessText(info.process);
}

}  // namespace

std::uint16_t CExifReader::Read16(const CByteReader& bytes, std::size_t k) const {
    return m_bMotorola ? bytes.ReadBE16(k) : bytes.ReadLE16(k);
}

std::uint32_t CExifReader::Read32(const CByteReader& bytes, std::size_t k) const {
    return m_bMotorola ? bytes.ReadBE32(k) : bytes.ReadLE32(k);
}

bool CExifReader::ReadJpegSections(const IByteSource& source) {
    std::uint64_t at = 0;
    auto nextByte = [&](std::uint8_t& byte) { return source.ReadAt(at++, std::span(&byte, 1)) == 1; };
    std::uint8_t first = 0;
    std::uint8_t second = 0;
    if (!nextByte(first) || !nextByte(second) || first != 0xFF || second != kMarkerStartOfImage) return false;

    int held = 0;
    bool commentHeld = false;
    for (;;) {
        std::uint8_t marker = 0xFF;
        for (int fill = 0; marker == 0xFF; ++fill)
            if (fill > kMaxFillBytes || !nextByte(marker)) return false;

        std::array<std::uint8_t, 2> lengthBytes{};
        if (source.ReadAt(at, lengthBytes) < lengthBytes.size()) return false;
        const std::uint32_t length = CByteReader(lengthBytes).ReadBE16(0);
        if (length < lengthBytes.size() || length > source.Size() - at) return false;  // a short read
        const std::uint64_t sectionStart = at;
        at += length;
        ++held;

        if (IsFrameMarker(marker)) {
            // Offsets count the two length bytes; a section too short for a
            // field reads it as 0.
            const std::vector<std::uint8_t> bytes = ReadBlock(source, sectionStart, length);
            if (bytes.size() < length) return false;
            const CByteReader frame(bytes);
            m_info.height = frame.ReadBE16(3);
            m_info.width = frame.ReadBE16(5);
            m_info.isColour = frame.Byte(7) == 3 ? 1 : 0;
            m_info.process = marker;
        } else if (marker == kMarkerEndOfImage) {
            return false;  // an image without a scan
        } else if (marker == kMarkerStartOfScan) {
            return true;
        } else if (marker == kMarkerApp0) {
            --held;
        } else if (marker == kMarkerApp1) {
            const std::vector<std::uint8_t> bytes = ReadBlock(source, sectionStart, length);
            if (bytes.size() < length) return false;
            const CByteReader data = CByteReader(bytes).Sub(lengthBytes.size(), length - lengthBytes.size());
            if (data.Matches(0, "Exif")) m_info.exifFlag = ParseExifBlock(data, length);
            else --held;
        } else if (marker == kMarkerComment) {
            if (commentHeld) --held;
            commentHeld = true;
        }
        // The EXIF flag depends on the Exif section alone: one that is read
        // as the twentieth held section or earlier still gives its lines,
        // only one after the twentieth is never reached.
        if (held == kMaxHeldSections) return false;
    }
}

bool CExifReader::ParseExifBlock(CByteReader block, std::uint32_t length) {
    m_info.flashUsed = 0;
    if (length < kMinExifLength || !block.Matches(0, kExifMark)) return false;
    if (block.Matches(kTiffStart, "II")) m_bMotorola = false;
    else if (block.Matches(kTiffStart, "MM")) m_bMotorola = true;
    else return false;
    m_tiff = block.Sub(kTiffStart, length - kLengthBeforeTiff);
    if (Read16(m_tiff, 2) != kTiffMagic) return false;
    // The first directory is read where the header says, within the few
    // bytes after the header where cameras put it.
    const std::uint32_t first = Read32(m_tiff, 4);
    if (first < kFirstDirectoryFrom || first > kFirstDirectoryTo) return false;

    m_nVisited = 0;
    if (!WalkDirectory(first, 0)) return false;
    if (m_info.focalPlaneXResolution != 0)
        m_info.ccdWidth = static_cast<float>(25.4 * m_nExifImageWidth * m_info.focalPlaneUnit / m_info.focalPlaneXResolution);
    return true;
}

bool CExifReader::WalkDirectory(std::uint32_t start, unsigned depth) {
    // A directory met before (a chain or sub-directory pointing back) is
    // not walked again: every walk ends.
    const auto visitedEnd = m_visited.begin() + static_cast<std::ptrdiff_t>(m_nVisited);
    if (depth > kMaxIfdDepth || m_nVisited == m_visited.size() || std::find(m_visited.begin(), visitedEnd, start) != visitedEnd)
        return false;
    m_visited[m_nVisited++] = start;

    if (!m_tiff.Has(start, 2)) return false;
    const std::size_t count = Read16(m_tiff, start);
    const std::size_t entries = std::size_t{start} + 2;
    if (!m_tiff.Has(entries, count * kEntryBytes)) return false;

    for (std::size_t i = 0; i < count; ++i) {
        const CByteReader entry = m_tiff.Sub(entries + i * kEntryBytes, kEntryBytes);
        const std::uint16_t tag = Read16(entry, 0);
        const std::uint16_t format = Read16(entry, 2);
        if (format == 0 || format > kLastFormat) return false;
        // 64-bit: neither the product nor the sum below can wrap.
        const std::uint64_t byteCount = std::uint64_t{Read32(entry, 4)} * kBytesPerComponent[format];
        CByteReader value;
        if (byteCount > kInlineValueBytes) {
            const std::uint64_t offset = Read32(entry, 8);
            if (offset + byteCount > m_tiff.Size()) return false;
            value = m_tiff.Sub(static_cast<std::size_t>(offset), static_cast<std::size_t>(byteCount));
        } else {
            value = entry.Sub(8, static_cast<std::size_t>(byteCount));
        }
        if (!StoreTag(tag, format, value, depth)) return false;
    }

    // The offset of the next directory, when four bytes are left for it.
    const std::size_t nextAt = entries + count * kEntryBytes;
    if (!m_tiff.Has(nextAt, 4)) return true;
    const std::uint32_t next = Read32(m_tiff, nextAt);
    if (next == 0) return true;
    if (next > m_tiff.Size()) return false;
    WalkDirectory(next, depth + 1);  // its own faults end only its own walk
    return true;
}

bool CExifReader::StoreTag(std::uint16_t tag, std::uint16_t format, const CByteReader& value, unsigned depth) {
    const double number = ConvertValue(value, format);
    const int integer = TruncateToInt(number);
    const float real = static_cast<float>(number);
    switch (tag) {
        case 0x010F: m_info.cameraMake = CopyText(value, kMaxMake); break;
        case 0x0110: m_info.cameraModel = CopyText(value, kMaxModel); break;
        case 0x9003: m_info.dateTime = CopyText(value, kMaxDateTime); break;
        case 0x9000: m_info.version = CopyText(value, kVersionLength); break;
        case 0x829D: m_info.apertureFNumber = real; break;
        case 0x9202:  // aperture value (APEX)
        case 0x9205:  // maximum aperture value (APEX)
            if (m_info.apertureFNumber == 0)
                m_info.apertureFNumber = static_cast<float>(std::exp(number * std::numbers::ln2 * 0.5));
            break;
        case 0x829A: m_info.exposureTime = real; break;
        case 0x9201:  // shutter speed value (APEX)
            if (m_info.exposureTime == 0) m_info.exposureTime = static_cast<float>(1 / std::exp(number * std::numbers::ln2));
            break;
        case 0x9206:
            // EXIF writes infinity as the numerator of all ones, which reads
            // as the distance below zero that the report calls infinite.
            m_info.subjectDistance = format == kUnsignedRational && Read32(value, 0) == kInfiniteNumerator ? -1 : real;
            break;
        case 0x9209: m_info.flashUsed = (integer & 7) > 0 ? 1 : 0; break;
        case 0x9208: m_info.whiteBalance = integer; break;
        case 0x9207: m_info.meteringMode = integer; break;
        case 0x8822: m_info.exposureProgram = integer; break;
        case 0x8827:
            // Some cameras store the ISO setting in units of 200.
            m_info.isoEquivalent = integer < 50 ? TruncateToInt(integer * 200.0) : integer;
            break;
        case 0x9102: m_info.compressionLevel = integer; break;
        case 0x9203: m_info.brightness = real; break;
        case 0x9204: m_info.exposureBias = real; break;
        case 0x920A: m_info.focalLength = real; break;
        case 0xA002:
        case 0xA003: m_nExifImageWidth = std::max(m_nExifImageWidth, integer); break;
        case 0xA20E: m_info.focalPlaneXResolution = real; break;
        case 0xA210: ConvertUnit(integer, m_info.focalPlaneUnit); break;
        case 0x0112: m_info.orientation = integer >= 1 && integer <= kLastOrientation ? integer : 0; break;
        case 0x011A: m_info.xResolution = real; break;
        case 0x011B: m_info.yResolution = real; break;
        case 0x0128: ConvertUnit(integer, m_info.resolutionUnit); break;
        case 0x8769:  // the Exif sub-directory
        case 0xA005: {  // the interoperability sub-directory
            if (!value.Has(0, 4)) break;  // no offset to follow
            const std::uint32_t start = Read32(value, 0);
            if (start > m_tiff.Size()) return false;
            WalkDirectory(start, depth + 1);
            break;
        }
        default: break;
    }
    return true;
}

double CExifReader::ConvertValue(const CByteReader& value, std::uint16_t format) const {
    switch (format) {
        case 1: return value.Byte(0);
        case 3: return Read16(value, 0);
        case 4: return Read32(value, 0);
        case 5: {  // unsigned: an exposure of 1/3000000000 s is positive
            const std::uint32_t denominator = Read32(value, 4);
            return denominator == 0 ? 0 : static_cast<double>(Read32(value, 0)) / denominator;
        }
        case 6: return static_cast<std::int8_t>(value.Byte(0));
        case 8: return static_cast<std::int16_t>(Read16(value, 0));
        case 9: return static_cast<std::int32_t>(Read32(value, 0));
        case 10: {
            const auto denominator = static_cast<std::int32_t>(Read32(value, 4));
            return denominator == 0 ? 0 : static_cast<std::int32_t>(Read32(value, 0)) / static_cast<double>(denominator);
        }
        // Floats are stored in the block's byte order, like every number.
        case 11: return std::bit_cast<float>(Read32(value, 0));
        case 12: {
            const std::uint64_t high = Read32(value, m_bMotorola ? 0 : 4);
            const std::uint64_t low = Read32(value, m_bMotorola ? 4 : 0);
            return std::bit_cast<double>(high << 32 | low);
        }
        default: return 0;  // texts and undefined bytes have no number
    }
}

void ReportExif(const IByteSource& source, std::string& out) {
    out.clear();
    ExifImageInfo info;
    CExifReader reader(info);
    reader.ReadJpegSections(source);
    if (info.exifFlag) AppendExifLines(info, out);
}

}  // namespace quiddity
