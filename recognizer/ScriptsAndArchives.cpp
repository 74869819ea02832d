// Group 0: shell scripts and ar archives.
#include "recognizer/Recognition.h"

namespace quiddity {

ETest RunScriptsAndArchives(CRecognition&) { return ETest::NoMatch; }

}  // namespace quiddity
