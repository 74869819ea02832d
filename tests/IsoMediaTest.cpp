// ISO base media: atoms built byte by byte for the edges of the walk, and
// the real files of tests/fixtures/media checked against ffprobe.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "TestSupport.h"
#include "formats/IsoMedia.h"

using namespace quiddity;
using quiddity::test::Fixture;
using quiddity::test::ReadFixture;
using quiddity::test::RunCommand;
using namespace std::string_view_literals;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Be32(std::uint32_t v) {
    return {static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
            static_cast<std::uint8_t>(v)};
}

Bytes Text(std::string_view text) { return {text.begin(), text.end()}; }

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

// An atom whose size field says `size` (by default the true size).
Bytes AtomSized(std::uint32_t size, std::string_view type, const Bytes& payload) {
    return Join({Be32(size),    // size, counting the 8-byte header
                 Text(type),    // four-character type
                 payload});
}
Bytes Atom(std::string_view type, const Bytes& payload = {}) {
    return AtomSized(static_cast<std::uint32_t>(8 + payload.size()), type, payload);
}

// A version 0 movie or media header, as far as the duration.
Bytes Header(std::string_view type, std::uint32_t scale, std::uint32_t duration) {
    return Atom(type, Join({Be32(0),          // version 0, flags
                            Be32(0),          // created
                            Be32(0),          // modified
                            Be32(scale),      // time scale (units a second)
                            Be32(duration)}));  // duration in those units
}

std::string Report(const Bytes& bytes, EDetail detail = EDetail::Full) {
    std::string out = "stale";
    ReportIsoMedia(CMemoryByteSource(bytes), detail, out);
    return out;
}

bool Has(const std::string& text, std::string_view part) { return text.find(part) != std::string::npos; }


}  // namespace

// Durations divide unsigned, show nothing without a time scale, and read
// the 64-bit layout of version 1 headers.
TEST(IsoMediaDurations, DivisionAndHeaderVersions) {
    EXPECT_EQ(Report(Atom("moov", Header("mvhd", 600, 600 * 125))),
              "Tracks: 0\r\nmoov 0x00000024 \r\n    mvhd 0x0000001C  Total duration: 2:05\r\n");
    EXPECT_FALSE(Has(Report(Atom("moov", Header("mvhd", 0, 1000))), "duration"));
    // INT_MIN / -1 would trap as a signed division.
    EXPECT_TRUE(Has(Report(Atom("moov", Header("mvhd", 0xFFFFFFFF, 0x80000000))), "Total duration: 0:00\r\n"));
    const Bytes version1 = Atom("mvhd", Join({Be32(0x01000000),            // version 1, flags
                                              Be32(0), Be32(0),            // created (64-bit)
                                              Be32(0), Be32(0),            // modified (64-bit)
                                              Be32(1000),                  // time scale
                                              Be32(1), Be32(0)}));         // duration 2^32 (64-bit)
    EXPECT_TRUE(Has(Report(Atom("moov", version1)), "Total duration: 71582:47\r\n"));
    // The media header's duration shows in full mode only.
    const Bytes media = Atom("moov", Header("mdhd", 10, 30));
    EXPECT_TRUE(Has(Report(media), "mdhd 0x0000001C  (0:03) \r\n"));
    EXPECT_EQ(Report(media, EDetail::Short), "Tracks: 0");
}

// A field past its atom's size drops its text even where the bytes exist.
TEST(IsoMediaFields, ReadInsideTheirAtom) {
    const Bytes cutHeader = Join({AtomSized(24, "mvhd", Join({Be32(0), Be32(0), Be32(0), Be32(10)})),  // ends before the duration
                                  Atom("skip", Be32(100))});  // its bytes where the duration would be
    EXPECT_FALSE(Has(Report(Atom("moov", cutHeader)), "duration"));
    const Bytes handler = Join({Atom("hdlr", Be32(0)),  // 12 bytes: the handler type at 16 lies past it
                                Atom("vide", Be32(0))});  // its type lies where the handler would be read
    EXPECT_FALSE(Has(Report(Atom("moov", handler)), "Video"));
    EXPECT_TRUE(Has(Report(Atom("moov", Atom("hdlr", Join({Be32(0), Be32(0), Text("vide")})))), " Video \r\n"));
    const Bytes compressed = Atom("cmov", Join({Atom("dcom", Text("zlib")), Atom("cmvd", Be32(0))}));
    const std::string text = Report(Atom("moov", compressed));
    EXPECT_TRUE(Has(text, "cmov 0x00000020  \r\n                             ------> Compressed movie data\r\n"));
    EXPECT_TRUE(Has(text, "        dcom 0x0000000C  \r\n                             ------> Compression: zlib\r\n"));
    // A sample description too short for its count still ends its line.
    EXPECT_TRUE(Report(Atom("moov", Atom("stsd", Be32(0)))).ends_with("    stsd 0x0000000C  \r\n"));
    const Bytes noCode = Atom("cmov", Join({Atom("dcom"), Atom("zlib", Be32(0))}));  // dcom holds no code
    EXPECT_FALSE(Has(Report(Atom("moov", noCode)), "Compression"));
}

// Sample entries: codes named, every entry listed in both modes, and an
// entry smaller than its header ends the list.
TEST(IsoMediaWalkLimits, SampleEntries) {
    const Bytes entries = Join({Be32(0),                      // version, flags
                                Be32(2),                      // entry count
                                Atom("sowt", Be32(0)),        // first entry
                                Atom("raw ", Be32(0))});      // second entry
    const Bytes movie = Atom("moov", Join({Atom("hdlr", Join({Be32(0), Be32(0), Text("soun")})), Atom("stsd", entries)}));
    EXPECT_TRUE(Has(Report(movie), "stsd 0x00000028  \r\n                             ------> Count: 2 \r\n"
                                   "                             ------> sowt (A: Uncompressed two's complement little endian)\r\n"
                                   "                             ------> raw  (V: Uncompressed RGB A: 8-bit offset binary)\r\n"));
    EXPECT_EQ(Report(movie, EDetail::Short), "Tracks: 0 Audio sowtraw ");
    const Bytes endless = Join({Be32(0),             // version, flags
                                Be32(0x7FFFFFFF),    // entry count
                                Be32(0),             // first entry's size: 0
                                Text("mp4a"),        // its code
                                Atom("mp4v")});      // never reached
    const std::string text = Report(Atom("moov", Atom("stsd", endless)));
    EXPECT_TRUE(Has(text, "------> mp4a (V: MPEG-4 a)\r\n"));
    EXPECT_FALSE(Has(text, "mp4v"));
}

// The walk stops at depth 20, at "free", at a child running past its
// parent, and reads a movie atom only as far as the file goes.
TEST(IsoMediaWalkLimits, DepthFreeAndSizes) {
    Bytes nested = Atom("nest", Join({Be32(0), Be32(0)}));  // innermost: zeros, no child
    for (int level = 1; level < 25; ++level) nested = Atom("nest", nested);
    const std::string deep = Report(Atom("moov", nested));
    std::size_t listed = 0;
    for (std::size_t at = deep.find("nest"); at != std::string::npos; at = deep.find("nest", at + 1)) ++listed;
    EXPECT_EQ(listed, 20u);
    EXPECT_TRUE(Has(deep, std::string(80, ' ') + "nest"));
    EXPECT_FALSE(Has(deep, std::string(84, ' ') + "nest"));

    const Bytes freed = Atom("moov", Join({Header("mvhd", 1, 61), Atom("free", Be32(0)), Atom("trak", Be32(0))}));
    EXPECT_EQ(Report(freed, EDetail::Short), "Tracks: 01:01");
    EXPECT_FALSE(Has(Report(freed), "trak"));

    const Bytes pastParent = Join({Atom("skip", Join({Be32(0), Be32(0)})),  // 16 bytes first
                                   AtomSized(40, "udta", Atom("meta", Join({Be32(0), Be32(0)})))});  // says 40, holds 24
    const std::string past = Report(Atom("moov", pastParent));
    EXPECT_TRUE(Has(past, "udta 0x00000028"));
    EXPECT_FALSE(Has(past, "meta"));

    Bytes huge = AtomSized(0xFFFFFFF0, "moov", Header("mvhd", 1, 125));  // says 4 GiB
    huge.resize(1024);
    EXPECT_EQ(Report(huge), "Tracks: 0\r\nmoov 0xFFFFFFF0 \r\n    mvhd 0x0000001C  Total duration: 2:05\r\n");
}

// At most 10000 atoms are listed in one report, the movie atom among them.
TEST(IsoMediaWalkLimits, ListedAtomsCap) {
    const auto children = [](std::size_t count) {
        Bytes movie;
        const Bytes child = Atom("aaaa", Join({Be32(0), Be32(0)}));  // 16 bytes, no child of its own
        for (std::size_t i = 0; i < count; ++i) movie.insert(movie.end(), child.begin(), child.end());
        return Report(Atom("moov", movie));
    };
    const auto listed = [](const std::string& text) {
        std::size_t n = 0;
        for (std::size_t at = text.find("aaaa"); at != std::string::npos; at = text.find("aaaa", at + 1)) ++n;
        return n;
    };
    EXPECT_EQ(listed(children(9999)), 9999u);
    EXPECT_EQ(listed(children(10000)), 9999u);
}

// A child's type must begin with an ASCII letter.
TEST(IsoMediaTopLevel, TypesBeginWithALetter) {
    for (const char* other : {"@one", "[one", "`one", "{one"}) {
        // 16-byte atoms, so that the level goes on to the next child
        const Bytes movie = Atom("moov", Join({Atom("Aone", Join({Be32(0), Be32(0)})), Atom("Zone", Join({Be32(0), Be32(0)})),
                                               Atom("aone", Join({Be32(0), Be32(0)})), Atom("zone", Join({Be32(0), Be32(0)})),
                                               Atom(other, Join({Be32(0), Be32(0)})), Atom("last", Join({Be32(0), Be32(0)}))}));
        const std::string text = Report(movie);
        for (const char* listed : {"Aone", "Zone", "aone", "zone"}) EXPECT_TRUE(Has(text, listed)) << other;
        EXPECT_FALSE(Has(text, other));
        EXPECT_FALSE(Has(text, "last")) << other;
    }
}

// Top-level sizes below 4 end the listing; the file must start with one
// of the family's atoms.
TEST(IsoMediaTopLevel, SizesAndFirstAtom) {
    const Bytes fileType = Atom("ftyp", Join({Text("isom"), Be32(0)}));  // major brand, minor version, no compatible brands
    EXPECT_EQ(Report(Join({fileType, Atom("mdat", Be32(0))})),
              "Tracks: 0\r\nftyp 0x00000010 \r\n              ---> Main format: isom (ISO MP4 Base Media v1)\r\n"
              "\r\nmdat 0x0000000C \r\n");
    for (const std::uint32_t size : {0u, 1u, 3u}) {
        const std::string text = Report(Join({fileType, AtomSized(size, "skip", Be32(0)), Atom("mdat", Be32(0))}));
        EXPECT_TRUE(Has(text, "skip")) << size;
        EXPECT_FALSE(Has(text, "mdat")) << size;
    }
    // The brands are read from the first 2048 bytes at the atom: a longer
    // file-type atom shows none.
    for (const std::size_t size : {2048u, 2049u}) {
        const Bytes brands = Atom("ftyp", Join({Text("isom"), Bytes(size - 12, ' ')}));
        EXPECT_EQ(Has(Report(brands), "Main format"), size == 2048) << size;
    }
    EXPECT_EQ(Report(Atom("abcd", Be32(0))), "");
    EXPECT_EQ(Report(Text("\0\0\0\x0CjP  \r\n\x87\n"sv)), "Tracks: 0\r\njP   0x0000000C \r\n");
}

TEST(IsoMediaNames, BrandsAndCodecs) {
    EXPECT_EQ(DescribeMediaBrand("Isom"), "ISO MP4 Base Media v1");
    EXPECT_EQ(DescribeMediaBrand("heic"), "");
    const auto codec = [](std::string_view code) {
        std::string out;
        DescribeSampleCodec(code, out);
        return out;
    };
    EXPECT_EQ(codec("raw "), "V: Uncompressed RGB A: 8-bit offset binary");
    EXPECT_EQ(codec("RAW "), "");
    EXPECT_EQ(codec("ms\x00\x11"sv), "A: Microsoft ACM DVI/IMA ADPCM");
    EXPECT_EQ(codec("msvc"), "V: Microsoft Video 1");
}

// The tracks and sample codes of the real files are those ffprobe finds.
TEST(IsoMediaFixtures, TracksAndCodecsAsFfprobeReadsThem) {
    int status = -1;
    RunCommand("ffprobe -version >/dev/null 2>&1", &status);
    if (status != 0) GTEST_SKIP() << "ffprobe (ffmpeg) is not installed";
    for (const char* name : {"two-tracks.mp4", "faststart.mp4", "raw.mov", "adpcm.mov", "sowt.mov", "wide-first.mov",
                             "video.3gp", "sound.m4a"}) {
        const std::string path = Fixture(std::string("media/") + name);
        std::string tags = RunCommand("ffprobe -v error -show_entries stream=codec_tag_string -of csv=p=0 '" + path + "'");
        std::string expected;
        std::size_t streams = 0;
        for (std::size_t at = 0; at < tags.size();) {
            const std::size_t end = tags.find('\n', at);
            const std::string tag = tags.substr(at, end - at);
            expected += tag.substr(0, tag.find("[0]"));  // a zero byte ends a code
            ++streams;
            at = end == std::string::npos ? tags.size() : end + 1;
        }
        std::string codes;
        std::string full;
        ReportIsoMedia(CMemoryByteSource(ReadFixture(std::string("media/") + name)), EDetail::Full, full);
        for (std::size_t at = full.find("------> "); at != std::string::npos; at = full.find("------> ", at + 1)) {
            const std::size_t code = at + 8;
            if (full.compare(code, 6, "Count:") == 0) continue;
            codes += full.substr(code, full.find(" (", code) - code);
        }
        EXPECT_EQ(codes, expected) << name;
        EXPECT_TRUE(Has(full, "Tracks: " + std::to_string(streams) + "\r\n")) << name;
    }
}

// The short text of a movie with a video and a sound track, and cut
// copies of it that lose what was cut off.
TEST(IsoMediaFixtures, ShortTextAndCutCopies) {
    const Bytes whole = ReadFixture("media/two-tracks.mp4");
    std::string text;
    ReportIsoMedia(CMemoryByteSource(whole), EDetail::Short, text);
    EXPECT_EQ(text, "0:00 Video mp4v Audio mp4a");
    const std::size_t sound = std::string_view(reinterpret_cast<const char*>(whole.data()), whole.size()).rfind("mp4a");
    ASSERT_NE(sound, std::string_view::npos);
    for (std::size_t cut = 0; cut < whole.size(); ++cut) {
        const Bytes part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut));
        ReportIsoMedia(CMemoryByteSource(part), EDetail::Short, text);
        if (cut <= sound) {
            EXPECT_FALSE(Has(text, "mp4a")) << cut;
        }
        // Every cut ends a read somewhere new: the sanitizer build watches these.
        ReportIsoMedia(CMemoryByteSource(part), EDetail::Full, text);
    }
}
