// ISO base media files (QuickTime, MP4, 3GPP, JPEG 2000): atoms, brands, tracks.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/AnalyzerInput.h"
#include "core/ByteReader.h"
#include "core/ByteSource.h"

namespace quiddity {

// The atoms, brands and tracks of an ISO base media file in full, or its
// short description for the type text.  Empty for anything else.
void ReportIsoMedia(const IByteSource& source, EDetail detail, std::string& out);

// What one report's walk counts: the tracks met, and every atom and sample
// entry listed (bounded, so that no file can make the text grow without end).
struct MediaWalk {
    int nTracks = 0;
    std::size_t nListed = 0;
};

// Sets out to the text of the children of the atom whose header starts
// `level` (its bytes as read), walked as a tree from `depth` down.
void WalkMediaAtoms(CByteReader level, int depth, std::string& out, EDetail detail, MediaWalk& walk);

// The name of a file-type brand (letters in any case), or empty.
std::string_view DescribeMediaBrand(std::string_view brand);

// Appends the names of a sample entry's codec code: every name the code
// has, or the WAVE format of a sound code "ms" that carries one.
void DescribeSampleCodec(std::string_view code, std::string& out);

}  // namespace quiddity
