#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/ReportPane.h"

using namespace quiddity;
using quiddity::test::CRecordingPane;

namespace {

CRecordingPane Render(std::string_view text) {
    CRecordingPane pane;
    RenderMarkup(pane, InitTextStyles(), text);
    return pane;
}

}  // namespace

TEST(Markup, EmptyTextIsOneEmptyInsertion) {
    const CRecordingPane pane = Render("");
    ASSERT_EQ(pane.runs.size(), 1u);
    EXPECT_EQ(pane.runs[0].text, "");
    EXPECT_EQ(pane.runs[0].style, EStyle::Normal);
}

TEST(Markup, TagsSwitchStyleRegardlessOfCase) {
    const CRecordingPane pane = Render("a<H1>b<pre>c<Gray>d<fixgray>e<OEM>f<cond>g");
    EXPECT_EQ(pane.TextIn(EStyle::Normal), "ag");
    EXPECT_EQ(pane.TextIn(EStyle::Heading), "b");
    EXPECT_EQ(pane.TextIn(EStyle::Fixed), "c");
    EXPECT_EQ(pane.TextIn(EStyle::Gray), "d");
    EXPECT_EQ(pane.TextIn(EStyle::FixedGray), "e");  // fixgray never matches gray
    EXPECT_EQ(pane.TextIn(EStyle::Oem), "f");
}

TEST(Markup, LongerTagActsAsTheNameItBeginsWith) {
    const CRecordingPane pane = Render("<preformatted>x<h1x>y");
    EXPECT_EQ(pane.TextIn(EStyle::Fixed), "x");
    EXPECT_EQ(pane.TextIn(EStyle::Heading), "y");
}

TEST(Markup, AngleBracketsOnlyThroughLtAndGt) {
    const CRecordingPane pane = Render("<pre>1 <lt> 2 <GT> 0, a > b");
    EXPECT_EQ(pane.Text(), "1 < 2 > 0, a > b");
    EXPECT_EQ(pane.TextIn(EStyle::Fixed), pane.Text());
}

TEST(Markup, UnknownAndUnterminatedTags) {
    EXPECT_EQ(Render("a<b").Text(), "a");
    const CRecordingPane unknown = Render("<h1>x<b>y");
    EXPECT_EQ(unknown.Text(), "xy");
    EXPECT_EQ(unknown.TextIn(EStyle::Heading), "xy");  // the unknown tag keeps the style
}

TEST(Markup, CarriageReturnsAreDropped) {
    EXPECT_EQ(Render("one\r\ntwo\r\n").Text(), "one\ntwo\n");
    EXPECT_EQ(Render("one\rtwo").Text(), "onetwo");
}

TEST(Markup, TextGoesInRunsOfTwenty) {
    const CRecordingPane pane = Render(std::string(45, 'x'));
    ASSERT_EQ(pane.runs.size(), 3u);
    EXPECT_EQ(pane.runs[0].text.size(), 20u);
    EXPECT_EQ(pane.runs[1].text.size(), 20u);
    EXPECT_EQ(pane.runs[2].text.size(), 5u);
    for (const auto& run : pane.runs) EXPECT_EQ(run.style, EStyle::Normal);
}

TEST(Markup, EachCallStartsInNormal) {
    CRecordingPane pane;
    RenderMarkup(pane, InitTextStyles(), "<h1>title");
    RenderMarkup(pane, InitTextStyles(), "body");
    EXPECT_EQ(pane.TextIn(EStyle::Normal), "body");
}
