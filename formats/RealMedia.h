// The codecs of a RealMedia file, named from its header objects.
#pragma once

#include <string>

#include "core/ByteSource.h"

namespace quiddity {

// Sets out to the names of the video and then the audio codecs of a
// RealMedia file; empty for anything else.
void DescribeRealMedia(const IByteSource& source, std::string& out);

}  // namespace quiddity
