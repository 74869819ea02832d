// The header object of an ASF file (Microsoft's "Advanced Systems Format"
// document, section 3: the header object and its stream properties objects;
// all integers little-endian, GUIDs in their stored byte order).
#include "formats/AsfStreams.h"

#include <string_view>
#include <vector>

#include "core/ByteReader.h"
#include "core/TextFormat.h"
#include "formats/WaveFormat.h"

namespace quiddity {

namespace {

using namespace std::string_view_literals;

constexpr std::size_t kHeaderBytes = 2048;        // only the first 2 KiB are looked at
constexpr std::uint64_t kLastObjectStart = 2030;  // an object starting later is not read
constexpr std::uint32_t kObjectHeaderBytes = 24;  // GUID and 64-bit size

// {B7DC0791-A9B7-11CF-8EE6-00C00C205365}
constexpr std::string_view kStreamProperties = "\x91\x07\xDC\xB7\xB7\xA9\xCF\x11\x8E\xE6\x00\xC0\x0C\x20\x53\x65"sv;
// {F8699E40-5B4D-11CF-A8FD-00805F5C442B}
constexpr std::string_view kAudioMedia = "\x40\x9E\x69\xF8\x4D\x5B\xCF\x11\xA8\xFD\x00\x80\x5F\x5C\x44\x2B"sv;
// {BC19EFC0-5B4D-11CF-A8FD-00805F5C442B}
constexpr std::string_view kVideoMedia = "\xC0\xEF\x19\xBC\x4D\x5B\xCF\x11\xA8\xFD\x00\x80\x5F\x5C\x44\x2B"sv;

constexpr std::size_t kObjectCountAt = 24;
constexpr std::size_t kFirstObjectAt = 30;
constexpr std::size_t kObjectSizeAt = 16;
// In a stream properties object:
constexpr std::size_t kStreamTypeAt = 24;
constexpr std::size_t kTypeSpecificAt = 78;   // audio: a WAVEFORMATEX; video: width, height, flags, size, BITMAPINFOHEADER
constexpr std::size_t kVideoHeightAt = 82;
constexpr std::size_t kCompressionAt = 105;   // the BITMAPINFOHEADER's biCompression
constexpr std::size_t kCompressionBytes = 4;

// Appends the text of one stream properties object; false when a field
// leaves the bytes read, which ends the walk.
bool DescribeStream(const CByteReader& object, std::string& out) {
    if (object.Matches(kStreamTypeAt, kAudioMedia)) {
        const std::uint16_t tag = object.ReadLE16(kTypeSpecificAt);
        if (!object.Ok()) return false;
        out += "Audio: ";
        out += DescribeWaveFormat(tag);
        out += "  ";
    } else if (object.Matches(kStreamTypeAt, kVideoMedia)) {
        // "%d": the 32-bit width and height print signed.
        const auto width = static_cast<std::int32_t>(object.ReadLE32(kTypeSpecificAt));
        const auto height = static_cast<std::int32_t>(object.ReadLE32(kVideoHeightAt));
        if (!object.Ok() || !object.Has(kCompressionAt, kCompressionBytes)) return false;
        // The four characters of the code, ending early at a zero byte.
        std::string code;
        for (std::size_t i = 0; i < kCompressionBytes && object.Byte(kCompressionAt + i) != 0; ++i)
            code += static_cast<char>(object.Byte(kCompressionAt + i));
        AppendFormat(out, "Video: %s %dx%d  ", code.c_str(), width, height);
    }
    return true;
}

}  // namespace

void DescribeAsfStreams(const IByteSource& source, std::string& out) {
    out.clear();
    const std::vector<std::uint8_t> bytes = ReadBlock(source, 0, kHeaderBytes);
    const CByteReader file(bytes);
    if (!file.Matches(0, kAsfHeaderGuid)) return;
    const std::uint32_t objects = file.ReadLE32(kObjectCountAt);
    if (!file.Ok()) return;
    // Each object moves the offset on by at least its header, so the walk
    // ends within the bytes read whatever the count says.  Of the 64-bit
    // size only the low half counts: a header object never comes near 4 GiB.
    std::uint64_t offset = kFirstObjectAt;
    for (std::uint32_t i = 0; i < objects && offset <= kLastObjectStart; ++i) {
        const CByteReader object = file.From(static_cast<std::size_t>(offset));
        const std::uint32_t size = object.ReadLE32(kObjectSizeAt);
        if (!object.Ok()) break;
        if (object.Matches(0, kStreamProperties) && !DescribeStream(object, out)) break;
        if (size < kObjectHeaderBytes) break;
        offset += size;
    }
}

}  // namespace quiddity
