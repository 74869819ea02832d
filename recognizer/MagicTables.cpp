// Group 4: the two magic tables, then OLE2, ASF, QuickTime, ISO media, tracker modules, Jet, TrueType, BIFF2-4, GIF.
#include "recognizer/Recognition.h"

namespace quiddity {

ETest RunMagicTables(CRecognition&) { return ETest::NoMatch; }

}  // namespace quiddity
