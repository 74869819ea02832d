// The streams of an ASF (Windows Media) file, from its header object.
#pragma once

#include <string>
#include <string_view>

#include "core/ByteSource.h"

namespace quiddity {

// The header object's GUID {75B22630-668E-11CF-A6D9-00AA0062CE6C} as it is
// stored, at the start of every ASF file.
inline constexpr std::string_view kAsfHeaderGuid{"\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16};

// Sets out to one text per stream properties object, in file order:
// "Audio: " and the codec name, or "Video: " with the compression code and
// the frame size.  Empty for anything else.
void DescribeAsfStreams(const IByteSource& source, std::string& out);

}  // namespace quiddity
