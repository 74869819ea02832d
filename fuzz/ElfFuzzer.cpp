// The ELF report: libelf's decoding of every header, table and note it
// reaches, and the lines written from them.
#include "FuzzSupport.h"
#include "executable/Elf.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const quiddity::CMemoryByteSource source = quiddity::fuzz::SourceOf(data, size);
    std::string lines;
    quiddity::ReportElf(source, lines);
    return 0;
}
