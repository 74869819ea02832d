// The RealMedia describer over any bytes: header objects of every size and count.
#include "FuzzSupport.h"
#include "formats/RealMedia.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string codecs;
    quiddity::DescribeRealMedia(quiddity::fuzz::SourceOf(data, size), codecs);
    return 0;
}
