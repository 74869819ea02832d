// The ISO base media walk in both modes: top-level atoms, the movie tree,
// sample descriptions and durations.
#include "FuzzSupport.h"
#include "formats/IsoMedia.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const quiddity::CMemoryByteSource source = quiddity::fuzz::SourceOf(data, size);
    std::string lines;
    quiddity::ReportIsoMedia(source, quiddity::EDetail::Full, lines);
    quiddity::ReportIsoMedia(source, quiddity::EDetail::Short, lines);
    return 0;
}
