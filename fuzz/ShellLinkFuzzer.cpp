// The shell-link reader: header, item-id list, link information block and
// stored strings, with the existence checks of the paths it names.
#include "FuzzSupport.h"
#include "formats/ShellLink.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const quiddity::CMemoryByteSource source = quiddity::fuzz::SourceOf(data, size);
    const quiddity::CItemPlace place{"/nonexistent-quiddity-fuzz/", "link.lnk"};
    std::string lines;
    quiddity::ReportShellLink(source, place, quiddity::EDetail::Full, lines);
    return 0;
}
