#include "recognizer/SignatureTable.h"

namespace quiddity {

ETest MatchRows(CRecognition& r, std::span<const CSignatureRow> rows) {
    ETest outcome = ETest::NoMatch;
    bool previousMatched = false;
    for (const CSignatureRow& row : rows) {
        if (row.otherwise && previousMatched) {
            previousMatched = false;  // an "otherwise" chain ends with its first match
            continue;
        }
        previousMatched = row.Matches(r);
        if (!previousMatched) continue;
        r.Append(row.text);
        outcome = ETest::Matched;
        if (row.ends) return ETest::Ends;
    }
    return outcome;
}

}  // namespace quiddity
