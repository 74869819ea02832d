#include "executable/ExeProbe.h"

#include <array>
#include <span>
#include <string_view>

#include "core/ByteReader.h"

namespace quiddity {

namespace {

struct KindSignature {
    std::string_view letters;
    EExeKind kind;
};

constexpr std::array<KindSignature, 9> kKindSignatures{{
    {"NE", EExeKind::Ne}, {"LE", EExeKind::Le}, {"LX", EExeKind::Lx}, {"CE", EExeKind::Ce}, {"W3", EExeKind::W3},
    {"DL", EExeKind::Dl}, {"MP", EExeKind::Mp}, {"P2", EExeKind::P2}, {"P3", EExeKind::P3},
}};

// Offsets inside the NT headers; these optional-header fields sit at the
// same place in PE32 and PE32+.
constexpr std::size_t kMajorSubsystemVersion = kOptionalHeaderOffset + 48;
constexpr std::size_t kMinorSubsystemVersion = kOptionalHeaderOffset + 50;
constexpr std::size_t kSubsystem = kOptionalHeaderOffset + 68;
constexpr std::uint16_t kSubsystemWindowsConsole = 3;

}  // namespace

std::uint32_t ExeProbeResult::NewHeaderSignature() const {
    return CByteReader(ntHeaders.data(), ntHeaders.size()).ReadLE32(0);
}

ExeProbeResult ExeTypeProbe(const IByteSource& file) {
    ExeProbeResult result;
    if (file.ReadAt(0, result.mzHeader) < kMzHeaderBytes) return result;
    const CByteReader mz(result.mzHeader.data(), result.mzHeader.size());
    if (!mz.Matches(0, "MZ")) return result;
    result.isMZ = true;
    const std::uint32_t lfanew = mz.ReadLE32(kMzLfanewOffset);
    if (lfanew == 0 || file.ReadAt(lfanew, std::span(result.ntHeaders.data(), 4)) < 4) return result;

    const CByteReader signature(result.ntHeaders.data(), 4);
    result.kind = EExeKind::Other;
    if (signature.Matches(0, std::string_view("PE\0\0", 4))) {
        result.isPE = true;
        result.kind = EExeKind::None;
    } else {
        for (const KindSignature& known : kKindSignatures)
            if (signature.Matches(0, known.letters)) result.kind = known.kind;
    }

    // A header that cannot be read in full stays as far as it was read.
    if (result.isPE) file.ReadAt(lfanew, result.ntHeaders);
    else if (result.kind == EExeKind::Ne) file.ReadAt(lfanew, result.neHeader);
    else if (result.kind == EExeKind::Le) file.ReadAt(lfanew, result.leHeader);
    else if (result.kind == EExeKind::Lx) file.ReadAt(lfanew, result.lxHeader);
    return result;
}

std::uint32_t QueryExeType(const ExeProbeResult& probe) {
    if (probe.isPE) {
        const CByteReader nt(probe.ntHeaders.data(), probe.ntHeaders.size());
        if (nt.ReadLE16(kSubsystem) == kSubsystemWindowsConsole) return kExeTypePe;
        const std::uint32_t major = nt.Byte(kMajorSubsystemVersion);
        const std::uint32_t minor = nt.Byte(kMinorSubsystemVersion);
        return kExeTypePe | (major << 24) | (minor << 16);
    }
    if (probe.kind == EExeKind::Ne) {
        const NeHeader ne = DecodeNeHeader(CByteReader(probe.neHeader.data(), probe.neHeader.size()));
        return kExeTypeNe | (std::uint32_t{ne.ne_expverMajor} << 24) | (std::uint32_t{ne.ne_expverMinor} << 16);
    }
    if (probe.isMZ && probe.kind <= EExeKind::Other) return kExeTypeMz;
    return 0;
}

}  // namespace quiddity
