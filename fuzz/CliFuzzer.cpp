// Batch mode's text: a path list as it arrives in pieces (lines, or names
// ended by NULs), and the
// "PATH: TYPE" line of each path, typed from hostile bytes.  Each line must
// be one line and carry no control a terminal would obey.
#include "FuzzSupport.h"
#include "cli/BatchText.h"
#include "recognizer/Recognizer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quiddity;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> paths;
    CPathListParser parser(paths);
    // in two pieces, as reads deliver them
    if (parser.Add(input.substr(0, size / 2)) && parser.Add(input.substr(size / 2))) parser.Finish();
    std::string type;
    std::string line;
    // the same bytes as a NUL-separated list: names hold any byte but NUL
    std::vector<std::string> names;
    CPathListParser nulParser(names, '\0');
    if (nulParser.Add(input)) nulParser.Finish();
    for (const std::string& name : names)
        if (name.empty() || name.size() > kMaxListLine || name.find('\0') != std::string::npos) std::abort();
    for (const std::string& path : paths) {
        if (path.empty() || path.size() > kMaxListLine || path.find('\0') != std::string::npos) std::abort();
        // the path's own bytes stand for a file's, so the type quotes them
        EstimateFileType(CMemoryByteSource(std::span(reinterpret_cast<const std::uint8_t*>(path.data()), path.size())),
                         type);
        line.clear();
        AppendTypeLine(line, path, type);
        if (line.find('\n') != line.size() - 1 || line.find_first_of("\t\r") != std::string::npos) std::abort();
        line.pop_back();
        fuzz::RequireShownSafely(line);
    }
    return 0;
}
