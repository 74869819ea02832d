// Group 3: header fields with details, tail signatures, SOL, AMR, disc images.
#include "recognizer/Recognition.h"

namespace quiddity {

ETest RunHeaderDetails(CRecognition&) { return ETest::NoMatch; }

}  // namespace quiddity
