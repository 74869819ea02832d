// What a format analyzer is handed besides the byte source.
#pragma once

#include <string>

namespace quiddity {

// How much an analyzer writes: the report's full section, or the short
// detail the recognizer adds to the type text.
enum class EDetail { Short, Full };

// Where the inspected item lies, for the analyzers that need more than its
// bytes (a shell link resolves relative to its own folder).
struct CItemPlace {
    std::string strFolder;  // ends in "/"
    std::string strName;
    std::string FullPath() const { return strFolder + strName; }
};

}  // namespace quiddity
