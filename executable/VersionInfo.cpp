// The strings of the version resource, as the "Version information"
// section shows them, and the self-extractor stubs their names reveal.
#include <array>
#include <string_view>

#include "executable/ExeAnalysis.h"
#include "executable/VersionResource.h"

namespace quiddity {

namespace {

// Shown when not empty, each on a line of its own.
constexpr auto kPlainValues = std::to_array<std::string_view>({
    "FileDescription", "LegalCopyright", "LegalTrademarks", "ProductName", "CompanyName", "Comments",
});

struct LabelledValue {
    std::string_view name;
    const char* label;
};

// Shown with their label whenever they exist, empty or not.
constexpr auto kLabelledValues = std::to_array<LabelledValue>({
    {"FileVersion", "\r\nFile version: "},
    {"ProductVersion", "\r\nProduct version: "},
    {"PrivateBuild", "\r\nPrivate build: "},
    {"SpecialBuild", "\r\nSpecial build: "},
    {"InternalName", "\r\nInternal name: "},
    {"OriginalFilename", "\r\nOriginal filename: "},
});

// A translation entry: language and code page, 16 bits each.
constexpr std::size_t kTranslationBytes = 4;

struct StubName {
    std::string_view prefix;  // of the original filename, regardless of ASCII case
    bool ExeClues::*clue;
};

constexpr auto kStubNames = std::to_array<StubName>({
    {"wextract.exe", &ExeClues::wextract},
    {"sfx.exe", &ExeClues::sfxExe},
    {"sfxpack.exe", &ExeClues::sfxpackExe},
    {"VuAlbum.EXE", &ExeClues::vuAlbum},
});

}  // namespace

void ReadVersionInfo(const IByteSource& source, ExeAnalysis& exe) {
    const std::optional<VersionResource> resource = ReadVersionResource(source);
    if (!resource) return;
    // Only the first translation is looked at, and only its string table:
    // no other table stands in for it.
    constexpr std::array<std::string_view, 2> kTranslation{"VarFileInfo", "Translation"};
    const std::optional<std::span<const std::uint8_t>> translation = FindVersionValue(*resource, kTranslation);
    if (!translation || translation->size() < kTranslationBytes) return;
    const CByteReader entry(*translation);
    const std::string table = Format("%04X%04X", entry.ReadLE16(0), entry.ReadLE16(2));
    auto value = [&](std::string_view name) {
        const std::array<std::string_view, 3> path{"StringFileInfo", table, name};
        return FindVersionText(*resource, path);
    };

    std::string& text = exe.versionText;
    for (const std::string_view name : kPlainValues) {
        const std::optional<std::string> plain = value(name);
        if (plain && !plain->empty()) text += *plain + "\r\n";
    }
    for (const LabelledValue& row : kLabelledValues) {
        if (const std::optional<std::string> labelled = value(row.name)) {
            text += row.label;
            text += *labelled;
        }
    }

    if (StartsWithAnyCase(value("InternalName").value_or(""), "wextract")) exe.clues.wextract = true;
    const std::string original = value("OriginalFilename").value_or("");
    for (const StubName& stub : kStubNames)
        if (StartsWithAnyCase(original, stub.prefix)) exe.clues.*stub.clue = true;
}

}  // namespace quiddity
