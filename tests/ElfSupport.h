// Shared by the ELF tests: the section's lines for bytes or a file, and the
// values of its labelled lines.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "core/ByteSource.h"
#include "executable/Elf.h"

namespace quiddity::test {

inline std::string ElfLines(const std::vector<std::uint8_t>& bytes) {
    std::string lines;
    ReportElf(CMemoryByteSource(bytes), lines);
    return lines;
}

// Every value of the lines with this label, in order.
inline std::vector<std::string> Values(const std::string& lines, const std::string& label) {
    std::vector<std::string> values;
    const std::string start = label + std::string(16 - label.size(), '.') + ": ";
    std::istringstream in(lines);
    for (std::string line; std::getline(in, line);)
        if (line.starts_with(start)) values.push_back(line.substr(start.size()));
    return values;
}

}  // namespace quiddity::test
