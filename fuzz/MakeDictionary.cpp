// Writes the libFuzzer dictionary of the recognizer: every byte string its
// tables compare, one entry a line, so mutations reach the signatures
// without guessing them.  Run at build time; the tables are the source.
#include <cstdio>
#include <set>
#include <span>
#include <string>

#include "recognizer/MagicTable.h"
#include "recognizer/SignatureTable.h"

namespace {

// libFuzzer takes no longer entry; the start of a long string is what a
// mutation most needs.
constexpr std::size_t kMaxEntryBytes = 64;

}  // namespace

int main() {
    using namespace quiddity;
    std::set<std::string> entries;  // sorted and without repeats: the file is the same at each build
    for (const std::span<const SignatureRow> rows : {ScriptsAndArchivesRows(), LongSignatureRows(), ShortSignatureRows()}) {
        for (const SignatureRow& row : rows) {
            if (row.test) continue;  // code, not a comparison
            for (const SignatureBytes& bytes : {row.first, row.second})
                if (!bytes.bytes.empty()) entries.emplace(bytes.bytes);
        }
    }
    for (const std::span<const MagicRow> rows : {TextMagicRows(), NumberMagicRows()}) {
        for (const MagicRow& row : rows) {
            const char magic[] = {static_cast<char>(row.magic), static_cast<char>(row.magic >> 8),
                                  static_cast<char>(row.magic >> 16), static_cast<char>(row.magic >> 24)};
            entries.emplace(magic, sizeof magic);
        }
    }
    for (const std::string& entry : entries) {
        std::fputc('"', stdout);
        for (const char c : entry.substr(0, kMaxEntryBytes)) std::printf("\\x%02X", static_cast<unsigned char>(c));
        std::fputs("\"\n", stdout);
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
