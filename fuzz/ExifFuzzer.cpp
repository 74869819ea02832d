// The JPEG section reader, the EXIF directory walk and the EXIF lines.
#include "FuzzSupport.h"
#include "formats/Exif.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const quiddity::CMemoryByteSource source = quiddity::fuzz::SourceOf(data, size);
    std::string lines;
    quiddity::ReportExif(source, lines);
    return 0;
}
