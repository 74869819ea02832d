#include "core/TextPanes.h"

#include <cstdio>

#include "core/TextFormat.h"

namespace quiddity {

namespace {

// Length of the valid UTF-8 sequence at p (at most n bytes), or 0.
std::size_t Utf8SequenceLength(const unsigned char* p, std::size_t n) {
    const unsigned char b = p[0];
    std::size_t len = 0;
    std::uint32_t min = 0;
    std::uint32_t cp = 0;
    if (b < 0x80) return 1;
    if ((b & 0xE0) == 0xC0) { len = 2; min = 0x80; cp = b & 0x1F; }
    else if ((b & 0xF0) == 0xE0) { len = 3; min = 0x800; cp = b & 0x0F; }
    else if ((b & 0xF8) == 0xF0) { len = 4; min = 0x10000; cp = b & 0x07; }
    else return 0;
    if (len > n) return 0;
    for (std::size_t i = 1; i < len; ++i) {
        if ((p[i] & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

}  // namespace

std::string ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const std::size_t len = Utf8SequenceLength(p + i, bytes.size() - i);
        if (len > 0) {
            out.append(bytes.substr(i, len));
            i += len;
        } else {
            AppendUtf8(out, p[i++]);  // the byte's Latin-1 character
        }
    }
    return out;
}

void CTextPaneBase::AppendLines(std::string_view text, bool escapeHtml) {
    for (const char c : ToUtf8(text)) {
        const bool afterCr = m_afterCr;
        m_afterCr = c == '\r';
        if (c == '\n' && afterCr) continue;  // the "\n" of a "\r\n"
        if (c == '\r') { m_out.push_back('\n'); continue; }
        if (escapeHtml) {
            if (c == '<') { m_out += "&lt;"; continue; }
            if (c == '>') { m_out += "&gt;"; continue; }
            if (c == '&') { m_out += "&amp;"; continue; }
        }
        m_out.push_back(c);
    }
}

void CPlainTextPane::AppendStyledText(std::string_view text, const CTextStyle&) {
    AppendLines(text, false);
}

void CAnsiPane::AppendStyledText(std::string_view text, const CTextStyle& style) {
    if (text.empty()) return;
    const char* attribute = nullptr;
    switch (style.id) {
        case EStyle::Heading: attribute = "\x1b[1;31m"; break;
        case EStyle::Gray:
        case EStyle::FixedGray: attribute = "\x1b[2m"; break;
        case EStyle::Normal:
        case EStyle::Fixed:
        case EStyle::Oem: break;
    }
    if (m_styled) { m_out += "\x1b[0m"; m_styled = false; }
    if (attribute) { m_out += attribute; m_styled = true; }
    AppendLines(text, false);
}

void CAnsiPane::EndReport() {
    if (m_styled) { m_out += "\x1b[0m"; m_styled = false; }
}

void CHtmlPane::BeginReport() { m_out += "<div class=\"report\">"; }

void CHtmlPane::AppendStyledText(std::string_view text, const CTextStyle& style) {
    if (text.empty()) return;
    const Rgb colour = SplitColour(style.colour);
    char css[200];
    std::snprintf(css, sizeof css,
                  "<span style=\"font-family:'%.*s';font-size:%gpt;font-weight:%s;color:#%02X%02X%02X\">",
                  static_cast<int>(style.face.size()), style.face.data(), style.heightTwips / 20.0,
                  style.bold ? "bold" : "normal", colour.red, colour.green, colour.blue);
    m_out += css;
    AppendLines(text, true);
    m_out += "</span>";
}

void CHtmlPane::EndReport() { m_out += "</div>\n"; }

std::string CHtmlPane::Page(std::string_view title) const {
    char background[8];
    const Rgb rgb = SplitColour(kPaneBackground);
    std::snprintf(background, sizeof background, "%02X%02X%02X", rgb.red, rgb.green, rgb.blue);
    std::string page = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>";
    CHtmlPane titleText;
    titleText.AppendLines(title, true);
    page += titleText.Text();
    page += "</title>\n<style>body{background:#";
    page += background;
    page += ";margin:8px}.report{white-space:pre;margin-bottom:1em}</style></head>\n<body>\n";
    page += m_out;
    page += "</body></html>\n";
    return page;
}

}  // namespace quiddity
