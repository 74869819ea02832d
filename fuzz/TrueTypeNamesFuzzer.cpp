// The TrueType name-table reader, in both of its modes.
#include "FuzzSupport.h"
#include "formats/TrueTypeNames.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const quiddity::CMemoryByteSource source = quiddity::fuzz::SourceOf(data, size);
    std::string names;
    quiddity::ReadTrueTypeNames(source, quiddity::EDetail::Full, names);
    quiddity::ReadTrueTypeNames(source, quiddity::EDetail::Short, names);
    return 0;
}
