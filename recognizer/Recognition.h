// The state of one recognition: the head and tail bytes of the file, the
// result text and the found mark.  Every signature test reads through it;
// a byte past what was read reads as zero, and nothing reads outside the
// buffers.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/ByteReader.h"
#include "core/ByteSource.h"

namespace quiddity {

inline constexpr std::size_t kHeadSize = 4096;  // bytes read from the start of the file
inline constexpr std::size_t kTailSize = 256;   // bytes read from its end

// What one test (or one group of tests) did.  Ends means the result is
// delivered at once: no further test runs.
enum class ETest : std::uint8_t { NoMatch, Matched, Ends };

class CRecognition {
public:
    explicit CRecognition(const IByteSource& source) : m_pSource(&source) {}

    // Reads the head and the tail from the source.
    void Load();

    // The head holds one zero byte more than can be read, so it is always a
    // terminated byte string.
    std::array<std::uint8_t, kHeadSize + 1> m_head{};
    std::size_t m_nHead = 0;  // head bytes read
    std::array<std::uint8_t, kTailSize + 1> m_tail{};
    std::size_t m_nTail = 0;  // tail bytes read; 0 when the file is shorter than the tail
    std::string m_result;
    bool m_found = false;
    // The whole file, for the describers that read past the head.
    const IByteSource* m_pSource;

    CByteReader Head() const { return CByteReader(m_head.data(), m_head.size()); }
    std::uint8_t byte(std::size_t k) const { return k < m_head.size() ? m_head[k] : 0; }
    std::uint16_t u16le(std::size_t k) const { return Head().ReadLE16(k); }
    std::uint32_t u32le(std::size_t k) const { return Head().ReadLE32(k); }
    // A 32-bit field that a text shows with "%d": it prints signed, as that
    // format reads it (a width of 0xFFFFFFFF shows as -1).
    std::int32_t i32le(std::size_t k) const { return static_cast<std::int32_t>(u32le(k)); }
    std::uint16_t be16(std::size_t k) const { return Head().ReadBE16(k); }
    std::uint32_t be32(std::size_t k) const { return Head().ReadBE32(k); }
    bool At(std::size_t k, std::string_view text) const {
        // Most tests fail on their first byte: decide those without the call.
        if (!text.empty() && byte(k) != static_cast<std::uint8_t>(text[0])) return false;
        return Head().Matches(k, text);
    }
    bool AtAnyCase(std::size_t k, std::string_view text) const { return Head().MatchesAnyCase(k, text); }
    // The byte k places before the end of the tail (tail[m_nTail - k]); 0 outside.
    std::uint8_t TailFromEnd(std::size_t k) const { return (k >= 1 && k <= m_nTail) ? m_tail[m_nTail - k] : 0; }
    // The tail bytes from tail[m_nTail - k] on equal `text`.
    bool TailAt(std::size_t k, std::string_view text) const {
        for (std::size_t i = 0; i < text.size(); ++i)
            if (k < i + 1 || TailFromEnd(k - i) != static_cast<std::uint8_t>(text[i])) return false;
        return true;
    }

    // A matching test appends its text and sets the found mark.
    ETest Append(std::string_view text) {
        m_result += text;
        m_found = true;
        return ETest::Matched;
    }
    // Appends the head text at k: at most maxLength bytes, ending early at a
    // zero byte, at the byte `stop` or where the head ends.
    void AppendHeadText(std::size_t k, std::size_t maxLength, std::uint8_t stop = 0) {
        for (std::size_t end = k; end < kHeadSize && end - k < maxLength; ++end) {
            const std::uint8_t b = byte(end);
            if (b == 0 || b == stop) break;
            m_result.push_back(static_cast<char>(b));
        }
    }
    // A matching "(ends)" test appends its text and delivers.
    ETest Deliver(std::string_view text) {
        Append(text);
        return ETest::Ends;
    }
};

// The eight test groups, in the order they run.
ETest RunScriptsAndArchives(CRecognition& r);  // group 0
ETest RunLongSignatures(CRecognition& r);      // group 1
ETest RunShortSignatures(CRecognition& r);     // group 2
ETest RunHeaderDetails(CRecognition& r);       // group 3
ETest RunMagicTables(CRecognition& r);         // group 4: the magic tables, then
ETest RunHeaderDetailsAfterMagic(CRecognition& r);  // the rest of group 4, whatever the tables found
ETest RunRiffIff(CRecognition& r);             // group 5
ETest RunTwoByteSignatures(CRecognition& r);   // group 6
ETest RunImagesAndStreams(CRecognition& r);    // group 7, ends with the fall-back

// The last tests of all: "Text file", "Possible UDIF disc image (dmg)" or
// "Unknown".  Always delivers.
ETest DeliverFallBack(CRecognition& r);

}  // namespace quiddity
