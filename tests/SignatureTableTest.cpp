#include <gtest/gtest.h>

#include "recognizer/SignatureTable.h"

using namespace quiddity;

namespace {

CRecognition Head(std::string_view bytes) {
    CRecognition r;
    r.n = bytes.size();
    for (std::size_t i = 0; i < bytes.size(); ++i) r.m_head[i] = static_cast<std::uint8_t>(bytes[i]);
    return r;
}

constexpr CSignatureRow kRows[] = {
    Row(At(0, "ab"), "first "),
    Otherwise(At(0, "a"), "only-if-not-ab "),
    Row(At(1, "B", kAnyCase), Or, At(2, "zz"), "second "),
    Row(At(0, "ab"), And, At(2, "\0"sv), "with-zero "),
    Row(At(0, "abc"), "ends", kEnds),
    Row(At(0, "a"), "never-reached"),
};

}  // namespace

TEST(SignatureTable, RowsAppendInOrderAndEndsDelivers) {
    CRecognition r = Head("ab");
    EXPECT_EQ(MatchRows(r, kRows), ETest::Matched);
    EXPECT_EQ(r.m_result, "first second with-zero never-reached");  // byte 2 is zero past what was read

    r = Head("abc");
    EXPECT_EQ(MatchRows(r, kRows), ETest::Ends);
    EXPECT_EQ(r.m_result, "first second ends");
}

TEST(SignatureTable, OtherwiseRunsOnlyAfterAMiss) {
    CRecognition r = Head("ax");
    MatchRows(r, kRows);
    EXPECT_EQ(r.m_result, "only-if-not-ab never-reached");
    r = Head("xbzz");
    EXPECT_EQ(MatchRows(r, kRows), ETest::Matched);
    EXPECT_EQ(r.m_result, "second ");
    r = Head("zqqq");
    EXPECT_EQ(MatchRows(r, kRows), ETest::NoMatch);
    EXPECT_FALSE(r.m_found);
}
