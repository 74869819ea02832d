#include <gtest/gtest.h>

#include "RecognizerSupport.h"
#include "recognizer/SignatureTable.h"

using namespace quiddity;
using namespace std::string_view_literals;
using quiddity::test::HeadOf;

namespace {

constexpr SignatureRow kRows[] = {
    Row(At(0, "ab"), "first "),
    Otherwise(At(0, "a"), "only-if-not-ab "),
    Row(At(1, "B", kAnyCase), Or, At(2, "zz"), "second "),
    Row(At(0, "ab"), And, At(2, "\0"sv), "with-zero "),
    Row(At(0, "abc"), "ends", kEnds),
    Row(At(0, "a"), "never-reached"),
};

}  // namespace

TEST(SignatureTable, RowsAppendInOrderAndEndsDelivers) {
    CRecognition r = HeadOf("ab");
    EXPECT_EQ(MatchRows(r, kRows), ETest::Matched);
    EXPECT_EQ(r.m_result, "first second with-zero never-reached");  // byte 2 is zero past what was read

    r = HeadOf("abc");
    EXPECT_EQ(MatchRows(r, kRows), ETest::Ends);
    EXPECT_EQ(r.m_result, "first second ends");
}

TEST(SignatureTable, OtherwiseRunsOnlyAfterAMiss) {
    CRecognition r = HeadOf("ax");
    MatchRows(r, kRows);
    EXPECT_EQ(r.m_result, "only-if-not-ab never-reached");
    r = HeadOf("xbzz");
    EXPECT_EQ(MatchRows(r, kRows), ETest::Matched);
    EXPECT_EQ(r.m_result, "second ");
    r = HeadOf("zqqq");
    EXPECT_EQ(MatchRows(r, kRows), ETest::NoMatch);
    EXPECT_FALSE(r.m_found);
}

namespace {

bool SecondByteIsDigit(const CRecognition& r) { return r.byte(1) >= '0' && r.byte(1) <= '9'; }

constexpr SignatureRow kChain[] = {
    Row(At(4, "five"), "first "),
    Otherwise(At(0, "a"), "second "),
    Otherwise(At(0, "ab"), "third "),  // skipped once any row of the chain matched
    Row(At(0, "a"), AndNot, At(1, "b"), "a-not-b "),
    Row(SecondByteIsDigit, "digit "),
};

}  // namespace

TEST(SignatureTable, OtherwiseChainStopsAtItsFirstMatch) {
    CRecognition r = HeadOf("ab..five");
    MatchRows(r, kChain);
    EXPECT_EQ(r.m_result, "first ");
    r = HeadOf("ab");
    MatchRows(r, kChain);
    EXPECT_EQ(r.m_result, "second ");
    r = HeadOf("xb");
    EXPECT_EQ(MatchRows(r, kChain), ETest::NoMatch);
}

TEST(SignatureTable, AndNotAndCodedTests) {
    CRecognition r = HeadOf("a7");
    MatchRows(r, kChain);
    EXPECT_EQ(r.m_result, "second a-not-b digit ");
    r = HeadOf("z1");
    MatchRows(r, kChain);
    EXPECT_EQ(r.m_result, "digit ");
}

TEST(SignatureTable, ByteStringsKeepTheirZeros) {
    // Literal pieces glued before the suffix: "\0" "00" is a zero byte and two digits.
    constexpr SignatureBytes posix = At(256, "\0ustar\0" "00"sv);
    EXPECT_EQ(posix.bytes.size(), 9u);
    EXPECT_EQ(posix.bytes.substr(6), "\0" "00"sv);
}
