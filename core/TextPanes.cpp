#include "core/TextPanes.h"

#include <cstdio>

#include "core/TextFormat.h"

namespace quiddity {

std::string ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const ReportCharacter c = DecodeReportCharacter(bytes.substr(i));
        if (c.length > 1) out.append(bytes.substr(i, c.length));
        else AppendUtf8(out, c.codePoint);
        i += c.length;
    }
    return out;
}

std::string ToDisplayText(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const ReportCharacter c = DecodeReportCharacter(bytes.substr(i));
        if (IsControlOrOverride(c.codePoint)) out.push_back('.');
        else if (c.length > 1) out.append(bytes.substr(i, c.length));
        else AppendUtf8(out, c.codePoint);
        i += c.length;
    }
    return out;
}

void CTextPaneBase::AppendLines(std::string_view text, bool escapeHtml) {
    for (const char c : ToDisplayText(text)) {
        const bool afterCr = m_afterCr;
        m_afterCr = c == '\r';
        if (c == '\n' && afterCr) continue;  // the "\n" of a "\r\n"
        if (c == '\r') { m_out.push_back('\n'); continue; }
        if (escapeHtml) {
            if (c == '<') { m_out += "&lt;"; continue; }
            if (c == '>') { m_out += "&gt;"; continue; }
            if (c == '&') { m_out += "&amp;"; continue; }
            if (c == '"') { m_out += "&quot;"; continue; }
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

namespace {

// The style's face, then the generic family a browser uses where that face
// is missing (as on most Linux desktops).
std::string CssFontFamily(std::string_view face) {
    std::string family = face.find(' ') == std::string_view::npos ? std::string(face) : "'" + std::string(face) + "'";
    family += face == "Courier New" ? ", monospace" : ", sans-serif";
    return family;
}

}  // namespace

void CHtmlPane::BeginReport() { m_out += "<div class=\"report\">"; }

void CHtmlPane::AppendStyledText(std::string_view text, const CTextStyle& style) {
    if (text.empty()) return;
    const Rgb colour = SplitColour(style.colour);
    m_out += "<span style=\"font-family:" + CssFontFamily(style.face);
    AppendFormat(m_out, ";font-size:%gpt;font-weight:%s;color:#%02X%02X%02X\">", style.heightTwips / 20.0,
                 style.bold ? "bold" : "normal", colour.red, colour.green, colour.blue);
    AppendLines(text, true);
    m_out += "</span>";
}

void CHtmlPane::EndReport() { m_out += "</div>\n"; }

std::string CHtmlPane::PageHead(std::string_view title) {
    char background[8];
    const Rgb rgb = SplitColour(kPaneBackground);
    std::snprintf(background, sizeof background, "%02X%02X%02X", rgb.red, rgb.green, rgb.blue);
    std::string page = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>";
    page += Escape(title);
    page += "</title>\n<style>body{background:#";
    page += background;
    page += ";margin:8px}.report{white-space:pre;margin-bottom:1em}</style></head>\n<body>\n";
    return page;
}

std::string CHtmlPane::Escape(std::string_view text) {
    CHtmlPane pane;
    pane.AppendLines(text, true);
    return pane.m_out;
}

}  // namespace quiddity
