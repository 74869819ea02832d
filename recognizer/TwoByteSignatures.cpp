// Group 6: signatures of 2 and 3 bytes, PCX, byte-order marks, PNM, compressors, MacBinary, HFS.
#include "recognizer/Recognition.h"

namespace quiddity {

ETest RunTwoByteSignatures(CRecognition&) { return ETest::NoMatch; }

}  // namespace quiddity
