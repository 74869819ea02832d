// The header objects of a RealMedia file (RealNetworks' RMFF: ".RMF", then
// PROP, MDPR, CONT, ... objects, all integers big-endian).
#include "formats/RealMedia.h"

#include <algorithm>
#include <span>
#include <string_view>
#include <vector>

#include "core/ByteReader.h"

namespace quiddity {

namespace {

constexpr std::size_t kHeaderBytes = 2048;        // only the first 2 KiB are looked at
constexpr std::uint64_t kLastObjectStart = 2030;  // an object starting later is not read
constexpr std::uint32_t kObjectHeaderBytes = 10;  // identifier, size, version

// The media properties object: stream name behind its 8-bit length, then
// the MIME type the same way, then the 32-bit length of the type-specific data.
constexpr std::size_t kStreamNameLengthAt = 40;

struct CodecMark {
    std::string_view mark;
    std::string_view name;
};
// Tried in this order at each place of the type-specific data.  An audio
// header names its interleaver and codec side by side ("genr" "cook").
constexpr CodecMark kAudioCodecs[] = {
    {"genrcook", "RealAudio G2 "}, {"sipr", "RealAudio 4.0/5.0 "}, {"Int0", "RealAudio 3.0 "}};
constexpr CodecMark kVideoCodecs[] = {
    {"VIDORV10", "RealVideo "}, {"VIDORV20", "RealVideo G2 "}, {"VIDORV30", "RealVideo 8.0 "}};
constexpr std::size_t kAudioScanStart = 8;  // past ".ra", its version byte and the version word

// The name of the first codec mark found in data from `start` on; empty
// when there is none.
std::string_view FirstCodec(const CByteReader& data, std::size_t start, std::span<const CodecMark> codecs) {
    for (std::size_t at = start; at < data.Size(); ++at)
        for (const CodecMark& codec : codecs)
            if (data.Matches(at, codec.mark)) return codec.name;
    return {};
}

// Adds the codec of one media properties object at `offset`.  False when
// its fields leave the bytes read or its data starts too late: that ends
// the walk.
bool DescribeMediaProperties(const CByteReader& object, std::uint64_t offset, std::string& video, std::string& audio) {
    const std::size_t mimeLengthAt = kStreamNameLengthAt + 1 + object.Byte(kStreamNameLengthAt);
    const std::size_t mimeLength = object.Byte(mimeLengthAt);
    const std::size_t dataLengthAt = mimeLengthAt + 1 + mimeLength;
    const std::uint32_t dataLength = object.ReadBE32(dataLengthAt);
    const std::size_t dataAt = dataLengthAt + 4;
    if (!object.Ok() || offset + dataAt > kLastObjectStart) return false;
    const std::string_view mime(reinterpret_cast<const char*>(object.Data()) + mimeLengthAt + 1, mimeLength);
    const CByteReader data = object.From(dataAt).Sub(0, std::min<std::size_t>(dataLength, object.Size() - dataAt));
    if (mime == "audio/x-pn-realaudio") audio += FirstCodec(data, kAudioScanStart, kAudioCodecs);
    else if (mime == "video/x-pn-realvideo") video += FirstCodec(data, 0, kVideoCodecs);
    return true;
}

}  // namespace

void DescribeRealMedia(const IByteSource& source, std::string& out) {
    out.clear();
    const std::vector<std::uint8_t> bytes = ReadBlock(source, 0, kHeaderBytes);
    const CByteReader file(bytes);
    if (!file.Matches(0, ".RMF")) return;
    const std::uint16_t version = file.ReadBE16(8);
    if (!file.Ok()) return;
    if (version > 1) {
        out = "(unknown type)";
        return;
    }
    // The file header's own size leads to the first header object.
    std::uint64_t offset = file.ReadBE32(4);
    const std::uint32_t objects = file.ReadBE32(14);
    if (!file.Ok()) return;
    std::string video;
    std::string audio;
    // Every object moves the offset on by at least its header, so the walk
    // ends within the bytes read whatever the count says.
    for (std::uint32_t i = 0; i < objects && offset <= kLastObjectStart; ++i) {
        const CByteReader object = file.From(static_cast<std::size_t>(offset));
        const std::uint32_t size = object.ReadBE32(4);
        if (!object.Ok()) break;
        if (object.Matches(0, "MDPR") && !DescribeMediaProperties(object, offset, video, audio)) break;
        if (size < kObjectHeaderBytes) break;
        offset += size;
    }
    out = video + audio;
}

}  // namespace quiddity
