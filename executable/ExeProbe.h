// A small header probe: is the file an MZ executable, and what kind of new
// header does it carry?  Used for the report's "Executable file" lines.
#pragma once

#include <array>
#include <cstdint>

#include "core/ByteSource.h"
#include "executable/ExeStructs.h"

namespace quiddity {

inline constexpr std::size_t kLxHeaderBytes = 12;

// Kind codes of the new-format header; the report shows the number.
enum class EExeKind : std::uint8_t {
    None = 0,  // no signature read, or a PE file
    Other = 1,
    Ne = 2, Le = 3, Lx = 4, Ce = 5, W3 = 6,
    Dl = 7, Mp = 8, P2 = 9, P3 = 10,
};

struct ExeProbeResult {
    bool isMZ = false;
    bool isPE = false;
    EExeKind kind = EExeKind::None;
    std::array<std::uint8_t, kMzHeaderBytes> mzHeader{};
    std::array<std::uint8_t, kNtHeadersBytes> ntHeaders{};  // starts with the signature for every kind
    std::array<std::uint8_t, kNeHeaderBytes> neHeader{};
    std::array<std::uint8_t, kLinearHeaderBytes> leHeader{};
    std::array<std::uint8_t, kLxHeaderBytes> lxHeader{};

    // The 4-byte signature at the new-header offset, little-endian.
    std::uint32_t NewHeaderSignature() const;
};

ExeProbeResult ExeTypeProbe(const IByteSource& source);

// Low words of the executable-type value.
inline constexpr std::uint32_t kExeTypeMz = 0x5A4D;
inline constexpr std::uint32_t kExeTypePe = 0x4550;
inline constexpr std::uint32_t kExeTypeNe = 0x454E;

// The executable type as one 32-bit value, the way the Windows shell reports
// it: the low word names the format ("MZ", "PE", "NE") and the high word
// the Windows version the program expects (major in bits 24-31, minor in
// 16-23), 0 for DOS and console programs.  0 when the file is none of these.
// Derived from the headers the probe has read.
std::uint32_t QueryExeType(const ExeProbeResult& probe);

}  // namespace quiddity
