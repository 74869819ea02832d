// Signature rows as data.  A row reads like the row of the table it comes
// from: where and what to compare, the text it appends, and whether it is
// an "otherwise" row or one that ends the recognition.  Rows that decode
// fields are code beside their table.
//
//   constexpr SignatureRow kRows[] = {
//       Row(At(0, "MThd"), "MIDI file"),
//       Row(At(0, "SIT!"), And, At(10, "rLau"), "Stuffit archive"),
//       Otherwise(At(0, "<!doctype "sv, kAnyCase), "SGML document (text)"),
//       Row(At(0, "\x01\0\0\0\x01\0\x08\0D"sv), "Lotus 1-2-3 picture", kEnds),
//       Row(At(0, "S\x80\xF6\x34"), AndNot, At(88, "PICT"), "Softimage 3D image"),
//       Row(IsIrcamSample, "IRCAM audio sample"),  // a byte pattern with value ranges
//   };
//   return MatchRows(r, kRows);
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "recognizer/Recognition.h"

namespace quiddity {


// One comparison: the head bytes from `offset` equal `bytes`, optionally with
// ASCII letters compared regardless of case.
struct SignatureBytes {
    std::uint16_t offset = 0;
    std::string_view bytes;
    bool anyCase = false;

    bool Matches(const CRecognition& r) const {
        if (anyCase) return r.AtAnyCase(offset, bytes);
        // Most rows fail on their first byte: decide those without the call.
        if (!bytes.empty() && r.byte(offset) != static_cast<std::uint8_t>(bytes[0])) return false;
        return r.At(offset, bytes);
    }
};

inline constexpr bool kAnyCase = true;
inline constexpr bool kEnds = true;

enum class EJoin : std::uint8_t { None, And, Or, AndNot };
inline constexpr EJoin And = EJoin::And;
inline constexpr EJoin Or = EJoin::Or;
inline constexpr EJoin AndNot = EJoin::AndNot;

// A test that is code rather than a comparison: byte values from ranges and
// the like.  It reads the head only.
using SignatureTest = bool (*)(const CRecognition&);

struct SignatureRow {
    // tested only when no row of its chain (the plain row above and the
    // "otherwise" rows between) matched
    bool otherwise = false;
    SignatureBytes first;
    EJoin join = EJoin::None;
    SignatureBytes second;
    std::string_view text;
    bool ends = false;  // delivers the result at once
    SignatureTest test = nullptr;  // when set, replaces the comparisons

    bool Matches(const CRecognition& r) const {
        if (test) return test(r);
        const bool a = first.Matches(r);
        switch (join) {
            case EJoin::And: return a && second.Matches(r);
            case EJoin::Or: return a || second.Matches(r);
            case EJoin::AndNot: return a && !second.Matches(r);
            case EJoin::None: break;
        }
        return a;
    }
};

constexpr SignatureBytes At(std::uint16_t offset, std::string_view bytes, bool anyCase = false) {
    return {offset, bytes, anyCase};
}
constexpr SignatureRow Row(SignatureBytes test, std::string_view text, bool ends = false) {
    return {false, test, EJoin::None, {}, text, ends};
}
constexpr SignatureRow Row(SignatureBytes a, EJoin join, SignatureBytes b, std::string_view text, bool ends = false) {
    return {false, a, join, b, text, ends};
}
constexpr SignatureRow Row(SignatureTest test, std::string_view text, bool ends = false) {
    return {false, {}, EJoin::None, {}, text, ends, test};
}
constexpr SignatureRow Otherwise(SignatureBytes test, std::string_view text, bool ends = false) {
    return {true, test, EJoin::None, {}, text, ends};
}
constexpr SignatureRow Otherwise(SignatureBytes a, EJoin join, SignatureBytes b, std::string_view text, bool ends = false) {
    return {true, a, join, b, text, ends};
}

// Tests every row in order; each match appends its text.  A plain row and
// the "otherwise" rows behind it form a chain of which at most one row
// matches.  Returns Ends as soon as an ending row matches, else Matched when
// any row matched.
ETest MatchRows(CRecognition& r, std::span<const SignatureRow> rows);

// The row tables of groups 0 to 2, for tools that list what the recognizer
// compares (the fuzzer's dictionary is made from them).
std::span<const SignatureRow> ScriptsAndArchivesRows();
std::span<const SignatureRow> LongSignatureRows();
std::span<const SignatureRow> ShortSignatureRows();

}  // namespace quiddity
