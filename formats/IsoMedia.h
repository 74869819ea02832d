// ISO base media files (QuickTime, MP4, 3GPP, JPEG 2000): atoms, brands, tracks.
#pragma once

#include <string>

#include "core/AnalyzerInput.h"
#include "core/ByteSource.h"

namespace quiddity {

// The atoms, brands and tracks of an ISO base media file in full, or its
// short description for the type text.  Empty for anything else.
void ReportIsoMedia(const IByteSource& source, EDetail detail, std::string& out);

}  // namespace quiddity
