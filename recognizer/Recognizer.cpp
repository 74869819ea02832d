#include "recognizer/Recognizer.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <iterator>
#include <string_view>

#include "core/ReadOnlyFile.h"
#include "core/TextFormat.h"
#include "recognizer/Recognition.h"

namespace quiddity {

namespace {

using RecognizerGroup = ETest (*)(CRecognition&);

// The groups in the order they run; between two of them the found mark is
// checked and a found result is delivered.
constexpr std::array<RecognizerGroup, 8> kGroups{
    RunScriptsAndArchives, RunLongSignatures, RunShortSignatures, RunHeaderDetails,
    RunMagicTables,        RunRiffIff,        RunTwoByteSignatures, RunImagesAndStreams,
};

constexpr std::size_t kMzHeaderSize = 64;  // the prologue wants more than a bare DOS header

void RunSizePrologue(CRecognition& r) {
    if (r.m_nHead == 0) {
        r.Append("(empty file)");
    } else if (r.m_nHead <= 4) {
        char text[32];
        std::snprintf(text, sizeof text, "(%d byte file)", static_cast<int>(r.m_nHead));
        r.Append(text);
    } else if (r.At(0, "MZ") && r.m_nHead > kMzHeaderSize) {
        r.Append("Executable file ");
        const std::uint32_t e = r.u32le(60);
        // the new header's two signature letters, stopping at a zero byte
        if (e < r.m_nHead - 1) r.AppendHeadText(e, 2);
    }
}

void Recognize(CRecognition& r, std::string& out) {
    RunSizePrologue(r);
    for (const RecognizerGroup group : kGroups) {
        if (group(r) == ETest::Ends) break;
        if (r.m_found) break;
    }
    out = r.m_result;
}

// Every byte lies in 3..0x80.  Most files of a batch reach this scan, and a
// text file is scanned whole, so it goes in blocks the compiler turns into
// vector instructions, stopping after the first block with a binary byte.
bool IsPlainText(const std::uint8_t* bytes, std::size_t n) {
    constexpr std::size_t kBlock = 64;
    const auto outside = [](std::uint8_t b) -> std::uint8_t { return static_cast<std::uint8_t>(b - 3) > 0x80 - 3; };
    std::size_t i = 0;
    for (; n - i >= kBlock; i += kBlock) {
        std::uint8_t any = 0;  // a byte, not a bool, so the loop vectorizes
        for (std::size_t j = 0; j < kBlock; ++j) any |= outside(bytes[i + j]);
        if (any) return false;
    }
    for (; i < n; ++i)
        if (outside(bytes[i])) return false;
    return true;
}

// True when the bytes start a character that the end of the bytes cut:
// some continuation bytes make it a valid one.  The second byte's range
// depends on the first (no overlong form, surrogate or code point above
// U+10FFFF), and either the lowest or the highest continuation completes
// every valid start.
bool IsCutCharacter(std::string_view rest) {
    constexpr std::size_t kLongest = 4;
    if (rest.empty() || rest.size() >= kLongest) return false;
    for (const char fill : {'\x80', '\xBF'}) {
        char padded[kLongest];
        std::fill(std::begin(padded), std::end(padded), fill);
        std::copy(rest.begin(), rest.end(), padded);
        if (DecodeReportCharacter(std::string_view(padded, kLongest)).length > rest.size()) return true;
    }
    return false;
}

// Every byte is 3 or above and the bytes are valid UTF-8.  Only a head
// that fills its buffer may end in a cut character: a shorter one ends
// where the file does.
bool IsUtf8Text(const std::uint8_t* bytes, std::size_t n, bool headFull) {
    const std::string_view text(reinterpret_cast<const char*>(bytes), n);
    for (std::size_t i = 0; i < n;) {
        if (bytes[i] < 0x80) {
            if (bytes[i] < 3) return false;
            ++i;
            continue;
        }
        const std::string_view rest = text.substr(i);
        const std::size_t length = DecodeReportCharacter(rest).length;
        if (length < 2) return headFull && IsCutCharacter(rest);
        i += length;
    }
    return true;
}

}  // namespace

ETest DeliverFallBack(CRecognition& r) {
    if (IsPlainText(r.m_head.data(), r.m_nHead)) return r.Deliver("Text file");
    // Checked only here, after the 7-bit scan failed, so that plain text and
    // the binary files that stop the scan early pay nothing for it.
    if (IsUtf8Text(r.m_head.data(), r.m_nHead, r.m_nHead == kHeadSize)) return r.Deliver("Text file (UTF-8)");
    if (r.byte(0) == 'x') return r.Deliver("Possible UDIF disc image (dmg)");
    return r.Deliver("Unknown");
}

void CRecognition::Load() {
    const std::uint64_t size = m_pSource->Size();
    m_nHead = m_pSource->ReadAt(0, std::span(m_head.data(), kHeadSize));
    // The tail is read only when the file is long enough to be positioned
    // 256 bytes before its end; a file that the head holds whole gives its
    // tail from there.
    if (size >= kTailSize && m_nHead == size) {
        m_nTail = kTailSize;
        std::copy_n(m_head.begin() + static_cast<std::ptrdiff_t>(m_nHead - kTailSize), kTailSize, m_tail.begin());
    } else if (size >= kTailSize) {
        m_nTail = m_pSource->ReadAt(size - kTailSize, std::span(m_tail.data(), kTailSize));
    }
}

void EstimateFileType(const IByteSource& source, std::string& out) {
    CRecognition r(source);
    r.Load();
    Recognize(r, out);
}

bool EstimateFileType(const std::string& path, std::string& out, int* openError) {
    CReadOnlyFile file;
    if (!file.Open(path)) {
        if (openError) *openError = file.Error();
        out = "(couldn't open the file)";
        return false;
    }
    EstimateFileType(CFileByteSource(file), out);
    return true;
}

}  // namespace quiddity
