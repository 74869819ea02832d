// Group 2: signatures of 3 to 8 bytes, StuffIt, TAR, LHA/LArc and other byte patterns.
#include "recognizer/Recognition.h"

namespace quiddity {

ETest RunShortSignatures(CRecognition&) { return ETest::NoMatch; }

}  // namespace quiddity
