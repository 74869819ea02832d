// The compound-document reader: container, storage tree, property sets,
// CompObj records and message texts, and the short Outlook detail.
#include "FuzzSupport.h"
#include "formats/CompoundDocument.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const quiddity::CMemoryByteSource source = quiddity::fuzz::SourceOf(data, size);
    std::string lines;
    quiddity::ReportCompoundDocument(source, quiddity::EDetail::Full, lines);
    quiddity::DescribeOutlookMessage(source, lines);
    return 0;
}
