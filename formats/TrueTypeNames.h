// The strings of a TrueType font's name table.
#pragma once

#include <string>

#include "core/AnalyzerInput.h"
#include "core/ByteSource.h"

namespace quiddity {

// Full: every name string, each followed by "\r\n", in record order;
// otherwise only the first complete full font name (name ID 4).  Out is
// emptied first and stays empty for anything that is not a TrueType font.
// UTF-16 names are turned into UTF-8.
void ReadTrueTypeNames(const IByteSource& source, EDetail detail, std::string& out);

}  // namespace quiddity
