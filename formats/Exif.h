// JPEG images and their EXIF data: the sections of the image up to its
// scan, the TIFF directories of the APP1 "Exif" section, and the lines of
// camera and image facts made of them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/AnalyzerInput.h"
#include "core/ByteReader.h"
#include "core/ByteSource.h"

namespace quiddity {

// What one image tells; texts are raw bytes as stored (at most the number of
// characters noted).
struct ExifImageInfo {
    std::string version;      // 4
    std::string cameraMake;   // 31
    std::string cameraModel;  // 39
    std::string dateTime;     // 19
    int height = 0;           // from the start-of-frame section
    int width = 0;
    int orientation = 0;      // 1..8, 0 when unknown
    int isColour = 0;         // three components
    int process = 0;          // the start-of-frame marker code
    int flashUsed = 0;
    float focalLength = 0;    // mm
    float exposureTime = 0;   // s
    float apertureFNumber = 0;
    float subjectDistance = 0;  // m
    float ccdWidth = 0;       // mm
    float exposureBias = 0;
    int whiteBalance = 0;     // the light source
    int meteringMode = 0;
    int exposureProgram = 0;
    int isoEquivalent = 0;
    int compressionLevel = 0;
    float focalPlaneXResolution = 0;
    float focalPlaneUnit = 0;   // inches per unit
    float xResolution = 0;
    float yResolution = 0;
    float resolutionUnit = 0;   // inches per unit
    float brightness = 0;
    bool exifFlag = false;      // the first directory of an EXIF block was read through
};

// Reads the sections of a JPEG image and the EXIF block among them into a
// record the caller owns.
class CExifReader {
public:
    explicit CExifReader(ExifImageInfo& info) : m_info(info) {}

    // Walks the sections from the start of the image; true when the start of
    // the scan was reached.
    bool ReadJpegSections(const IByteSource& source);
    // Parses the data of an APP1 section after its two length bytes; length
    // is the section's length field.  Returns what goes into the EXIF flag.
    bool ParseExifBlock(CByteReader block, std::uint32_t length);

private:
    // Chained and nested directories end at this depth; real images use 2.
    static constexpr unsigned kMaxIfdDepth = 8;
    // Every directory is walked once; a camera writes about five, so this
    // many leaves room and bounds the work a hostile block can ask for.
    static constexpr std::size_t kMaxDirectories = 64;

    bool WalkDirectory(std::uint32_t start, unsigned depth);
    bool StoreTag(std::uint16_t tag, std::uint16_t format, const CByteReader& value, unsigned depth);
    double ConvertValue(const CByteReader& value, std::uint16_t format) const;
    std::uint16_t Read16(const CByteReader& bytes, std::size_t k) const;
    std::uint32_t Read32(const CByteReader& bytes, std::size_t k) const;

    ExifImageInfo& m_info;
    CByteReader m_tiff;         // from the TIFF header on: the base of every offset
    bool m_bMotorola = false;   // "MM": big-endian
    int m_nExifImageWidth = 0;  // the larger pixel dimension
    std::array<std::uint32_t, kMaxDirectories> m_visited{};
    std::size_t m_nVisited = 0;
};

// The EXIF section of a JPEG image; empty for anything else.
void ReportExif(const IByteSource& source, std::string& out);

}  // namespace quiddity
