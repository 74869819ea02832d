#include "recognizer/SignatureTable.h"

namespace quiddity {

ETest MatchRows(CRecognition& r, std::span<const SignatureRow> rows) {
    ETest outcome = ETest::NoMatch;
    bool chainMatched = false;
    for (const SignatureRow& row : rows) {
        if (row.otherwise && chainMatched) continue;
        chainMatched = row.Matches(r);
        if (!chainMatched) continue;
        r.Append(row.text);
        outcome = ETest::Matched;
        if (row.ends) return ETest::Ends;
    }
    return outcome;
}

}  // namespace quiddity
