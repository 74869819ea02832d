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

// Appends the UTF-8 form of big-endian UTF-16 bytes; an unpaired surrogate
// becomes U+FFFD.
void AppendUtf16BeAsUtf8(const unsigned char* bytes, std::size_t size, std::string& out);

}  // namespace quiddity
