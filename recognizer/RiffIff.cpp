// Group 5: RIFF/RIFX and FORM (IFF) containers.
#include "recognizer/Recognition.h"

namespace quiddity {

ETest RunRiffIff(CRecognition&) { return ETest::NoMatch; }

}  // namespace quiddity
