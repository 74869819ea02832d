#include <array>
#include <cstddef>

#include "core/ReportPane.h"
#include "core/TextFormat.h"

namespace quiddity {

namespace {

constexpr std::size_t kRunLength = 20;  // the longest run handed to the pane in one insertion

enum class ETagEffect { Style, Less, Greater };

struct MarkupTag {
    std::string_view name;
    ETagEffect effect;
    EStyle style;
};

// Every entry whose name begins a tag takes effect, in this order.
constexpr std::array<MarkupTag, 8> kTags{{
    {"pre", ETagEffect::Style, EStyle::Fixed},
    {"cond", ETagEffect::Style, EStyle::Normal},
    {"h1", ETagEffect::Style, EStyle::Heading},
    {"gray", ETagEffect::Style, EStyle::Gray},
    {"fixgray", ETagEffect::Style, EStyle::FixedGray},
    {"oem", ETagEffect::Style, EStyle::Oem},
    {"lt", ETagEffect::Less, EStyle::Normal},
    {"gt", ETagEffect::Greater, EStyle::Normal},
}};

}  // namespace

void RenderMarkup(IReportPane& pane, const CTextStyles& styles, std::string_view text) {
    CTextStyle current = styles.m_cfNormal;
    std::string run;
    auto flush = [&] {
        pane.AppendStyledText(run, current);
        run.clear();
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') continue;
        if (c != '<') {
            // A run ends before a character that would not fit whole, so
            // the pane never gets half of a multi-byte character.
            const std::size_t length = DecodeReportCharacter(text.substr(i)).length;
            if (run.size() + length > kRunLength) flush();
            run.append(text.substr(i, length));
            i += length - 1;
            continue;
        }
        if (run.size() >= kRunLength) flush();
        flush();
        const std::size_t close = text.find('>', i + 1);
        const std::size_t end = close == std::string_view::npos ? text.size() : close;
        const std::string_view tag = text.substr(i + 1, end - i - 1);
        i = end;  // the loop steps over the '>'
        for (const MarkupTag& known : kTags) {
            if (!StartsWithAnyCase(tag, known.name)) continue;
            switch (known.effect) {
                case ETagEffect::Style: current = styles.ById(known.style); break;
                case ETagEffect::Less: pane.AppendStyledText("<", current); break;
                case ETagEffect::Greater: pane.AppendStyledText(">", current); break;
            }
        }
    }
    flush();
}

}  // namespace quiddity
