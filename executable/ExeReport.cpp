// The executable analysis as the report runs it, every step over the
// report's one byte source.
#include "executable/Checksum.h"
#include "executable/ExeAnalysis.h"

namespace quiddity {

ExeAnalysis ReportExecutable(const IByteSource& source, bool withChecksum) {
    ExeAnalysis exe;
    if (withChecksum && source.Size() < kChecksumSizeLimit) {
        if (const std::optional<std::uint32_t> crc = ComputeFileCrc32(source))
            AppendFormat(exe.checksumText, "%08X", *crc);
    }
    AnalyzeExecutable(source, exe);
    ReadVersionInfo(source, exe);
    WriteClueLines(exe);
    return exe;
}

}  // namespace quiddity
