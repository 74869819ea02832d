// The codecs of a RealMedia file, named from its header objects.
#pragma once

#include <string>

namespace quiddity {

// Sets out to the names of the video and then the audio codecs of the
// RealMedia file at path; empty for anything else.  flag is not read.
void DescribeRealMedia(const std::string& path, std::string& out, int flag);

}  // namespace quiddity
