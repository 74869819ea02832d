// The version resource: found in PE and NE files and read into the
// report's version text; and the same bytes taken as a version block in
// both encodings, so the tree walk and the text decoding are reached
// without a valid executable around them.
#include <algorithm>
#include <array>
#include <string_view>

#include "FuzzSupport.h"
#include "executable/ExeAnalysis.h"
#include "executable/VersionResource.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quiddity;
    ExeAnalysis exe;
    ReadVersionInfo(fuzz::SourceOf(data, size), exe);
    constexpr std::array<std::string_view, 2> kTranslation{"VarFileInfo", "Translation"};
    constexpr std::array<std::string_view, 3> kString{"StringFileInfo", "040904B0", "FileDescription"};
    for (const bool wide : {true, false}) {
        const VersionResource block{{data, data + std::min(size, kVersionBlockLimit)}, wide};
        FindVersionValue(block, kTranslation);
        FindVersionText(block, kString);
    }
    return 0;
}
