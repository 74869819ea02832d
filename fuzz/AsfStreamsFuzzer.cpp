// The ASF describer over any bytes: header objects of every size and count,
// stream fields at the end of the bytes read.
#include "FuzzSupport.h"
#include "formats/AsfStreams.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string streams;
    quiddity::DescribeAsfStreams(quiddity::fuzz::SourceOf(data, size), streams);
    return 0;
}
