// The TrueType name-table reader, in both of its modes.
#include "FuzzSupport.h"
#include "formats/TrueTypeNames.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = quiddity::fuzz::CFuzzInputFile::Instance().Write(data, size);
    std::string names;
    quiddity::ReadTrueTypeNames(path, names, true);
    quiddity::ReadTrueTypeNames(path, names, false);
    return 0;
}
