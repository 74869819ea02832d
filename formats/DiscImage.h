// ISO 9660 and UDF disc images, named by their volume descriptors.
#pragma once

#include <string>

#include "core/ByteSource.h"

namespace quiddity {

// Walks the volume descriptors from sector 16 on and appends to out what
// they show: "ISO 9660 CD/DVD image" with its extensions (El Torito,
// Joliet, enhanced, partition, UDF), or "UDF CD/DVD image ('ISO')".  True
// when at least one descriptor was recognised; false leaves out as it was.
bool DescribeDiscImage(const IByteSource& source, std::string& out);

}  // namespace quiddity
