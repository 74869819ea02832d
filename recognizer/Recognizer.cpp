#include "recognizer/Recognizer.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

#include "core/ReadOnlyFile.h"
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

// True when one of the kVector * vectors bytes at p lies outside
// low..high: vector subtractions and comparisons instead of a branch a
// byte, and one reduction at the end.
constexpr std::size_t kVector = 16;
template <std::size_t vectors>
bool AnyOutside(const std::uint8_t* p, std::uint8_t low, std::uint8_t high) {
    using Bytes = std::uint8_t __attribute__((vector_size(kVector)));
    using Lanes = std::int8_t __attribute__((vector_size(kVector)));
    // b lies outside when b - low, wrapping, exceeds high - low as unsigned
    // bytes; flipping the top bit makes that one signed comparison.
    const auto limit = static_cast<std::int8_t>((high - low) ^ 0x80);
    Lanes outside{};
#pragma GCC unroll 4
    for (std::size_t v = 0; v < vectors; ++v) {
        Bytes bytes;
        std::memcpy(&bytes, p + v * kVector, sizeof bytes);
        const Bytes flipped = (bytes - low) ^ static_cast<std::uint8_t>(0x80);  // unsigned: wraps
        outside |= reinterpret_cast<const Lanes&>(flipped) > limit;
    }
    std::uint64_t halves[2];
    std::memcpy(halves, &outside, sizeof halves);
    return (halves[0] | halves[1]) != 0;
}

// The length of the head's prefix that keeps the 7-bit rule (every byte in
// 3..0x80), to the start of its first 64-byte block with another byte.
// Most files of a batch reach this scan, and a text file is scanned whole.
std::size_t PlainTextPrefix(const std::uint8_t* bytes, std::size_t n) {
    constexpr std::size_t kBlock = 4 * kVector;
    std::size_t i = 0;
    for (; n - i >= kBlock; i += kBlock)
        if (AnyOutside<kBlock / kVector>(bytes + i, 3, 0x80)) return i;
    for (std::size_t j = i; j < n; ++j)
        if (bytes[j] < 3 || bytes[j] > 0x80) return i;
    return n;
}

// What a UTF-8 character that starts with a given byte needs: its length
// and the range of its second byte (which rules out overlong forms,
// surrogates and code points above U+10FFFF).  Length 0: no start byte.
struct Utf8Start {
    std::uint8_t length;
    std::uint8_t low;
    std::uint8_t high;
};

constexpr Utf8Start StartOf(std::uint8_t b) {
    if (b < 0xC2) return {0, 0, 0};  // ASCII, a continuation byte, or an overlong start
    if (b < 0xE0) return {2, 0x80, 0xBF};
    if (b == 0xE0) return {3, 0xA0, 0xBF};
    if (b == 0xED) return {3, 0x80, 0x9F};
    if (b < 0xF0) return {3, 0x80, 0xBF};
    if (b == 0xF0) return {4, 0x90, 0xBF};
    if (b < 0xF4) return {4, 0x80, 0xBF};
    if (b == 0xF4) return {4, 0x80, 0x8F};
    return {0, 0, 0};
}

// Every byte is 3 or above and the bytes are valid UTF-8.  Only a head
// that fills its buffer may end in a cut character: a shorter one ends
// where the file does.  Blocks of ASCII (3..0x7F) are passed over in one
// vectorised test; a block with any other byte is walked a character at a
// time.
bool IsUtf8Text(const std::uint8_t* bytes, std::size_t n, bool headFull) {
    for (std::size_t i = 0; i < n;) {
        const std::size_t blockEnd = std::min(i + kVector, n);
        if (blockEnd - i == kVector && !AnyOutside<1>(bytes + i, 3, 0x7F)) {
            i = blockEnd;
            continue;
        }
        while (i < blockEnd) {
            const std::uint8_t b = bytes[i];
            if (b < 0x80) {
                if (b < 3) return false;
                ++i;
                continue;
            }
            const Utf8Start start = StartOf(b);
            if (start.length == 0) return false;
            const std::size_t have = std::min<std::size_t>(start.length, n - i);
            if (have >= 2 && (bytes[i + 1] < start.low || bytes[i + 1] > start.high)) return false;
            for (std::size_t k = 2; k < have; ++k)
                if ((bytes[i + k] & 0xC0) != 0x80) return false;
            if (have < start.length) return headFull;  // cut by the end of the bytes
            i += start.length;
        }
    }
    return true;
}

}  // namespace

ETest DeliverFallBack(CRecognition& r) {
    const std::uint8_t* head = r.m_head.data();
    const std::size_t plain = PlainTextPrefix(head, r.m_nHead);
    if (plain == r.m_nHead) return r.Deliver("Text file");
    // UTF-8 is checked only here, after the 7-bit scan failed, and from where
    // it failed: the prefix before is ASCII unless it holds a 0x80, which no
    // character starts with.
    if (std::memchr(head, 0x80, plain) == nullptr &&
        IsUtf8Text(head + plain, r.m_nHead - plain, r.m_nHead == kHeadSize))
        return r.Deliver("Text file (UTF-8)");
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
