#include <gtest/gtest.h>

#include "core/TextPanes.h"

using namespace quiddity;

TEST(TextPanes, LineEndsBecomeOneBreakEvenAcrossRuns) {
    CPlainTextPane pane;
    const CTextStyle& normal = InitTextStyles().m_cfNormal;
    pane.AppendStyledText("a\r\nb\r", normal);
    pane.AppendStyledText("\nc\rd\n", normal);
    EXPECT_EQ(pane.Text(), "a\nb\nc\nd\n");
}

TEST(TextPanes, InvalidUtf8ShowsAsLatin1) {
    EXPECT_EQ(ToUtf8("caf\xE9"), "caf\xC3\xA9");
    EXPECT_EQ(ToUtf8("\xC3\xA9t\xC3\xA9"), "\xC3\xA9t\xC3\xA9");  // valid UTF-8 passes
    EXPECT_EQ(ToUtf8("\xED\xA0\x80"), "\xC3\xAD\xC2\xA0\xC2\x80");  // a surrogate is not valid UTF-8
    // the smallest character of each length is valid; an overlong form is not
    for (const std::string_view smallest : {"\xC2\x80", "\xE0\xA0\x80", "\xF0\x90\x80\x80"})
        EXPECT_EQ(ToUtf8(smallest), smallest);
    EXPECT_EQ(ToUtf8("\xC1\xBF"), "\xC3\x81\xC2\xBF");
    EXPECT_EQ(ToDisplayText("\xC2\x80|\xC2\x9F|\xC2\xA0"), ".|.|\xC2\xA0");  // C1 ends at U+009F
    EXPECT_EQ(ToUtf8(std::string_view("\0x", 2)), std::string("\0x", 2));
}

TEST(TextPanes, AnsiMarksHeadingAndGray) {
    CAnsiPane pane;
    const CTextStyles& s = InitTextStyles();
    pane.BeginReport();
    pane.AppendStyledText("Head\n", s.m_cfHeading);
    pane.AppendStyledText("dim", s.m_cfGray);
    pane.AppendStyledText("plain", s.m_cfFixed);
    pane.EndReport();
    EXPECT_EQ(pane.Text(), "\x1b[1;31mHead\n\x1b[0m\x1b[2mdim\x1b[0mplain");
}

TEST(TextPanes, HtmlSpansCarryTheStyle) {
    CHtmlPane pane;
    const CTextStyles& s = InitTextStyles();
    pane.BeginReport();
    pane.AppendStyledText("File info", s.m_cfHeading);
    pane.AppendStyledText("a<b>&c", s.m_cfFixed);
    pane.AppendStyledText("plain", s.m_cfNormal);
    pane.EndReport();
    const std::string page = CHtmlPane::PageHead("t") + pane.Text();
    EXPECT_NE(page.find("background:#EEEEFF"), std::string::npos);
    EXPECT_NE(page.find("font-family:Arial, sans-serif;font-size:13pt;font-weight:bold;color:#C80000\">File info</span>"),
              std::string::npos);
    EXPECT_NE(page.find("font-family:'Courier New', monospace;font-size:9pt;font-weight:normal;color:#000000\">a&lt;b&gt;&amp;c"),
              std::string::npos);
    // Each face ends in a generic family, for browsers without it.
    EXPECT_NE(page.find("font-family:System, sans-serif;font-size:9pt;font-weight:bold"), std::string::npos);
}
