// The report of ELF files (Linux and other Unix programs, libraries, object
// files and core dumps): what a file is built for, what it loads, how it is
// hardened, where its debug symbols are.
#pragma once

#include <string>

#include "core/ByteSource.h"

namespace quiddity {

// The lines of the "ELF executable" section; nothing for a file that does
// not begin with the ELF magic.  Reads the headers, tables and notes it
// reports on and nothing else, so a large file costs little more than a
// small one.  A damaged file gives the lines that could be read.
void ReportElf(const IByteSource& source, std::string& out);

}  // namespace quiddity
