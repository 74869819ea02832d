// Group 1: long text and binary signatures of 9 to 39 bytes.
#include "recognizer/Recognition.h"

namespace quiddity {

ETest RunLongSignatures(CRecognition&) { return ETest::NoMatch; }

}  // namespace quiddity
