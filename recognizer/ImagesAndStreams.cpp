// Group 7: BMP, BIFF5+, MPEG video and audio streams, JPEG, SGI, Amiga,
// BinHex, and last the text/unknown fall-back.
#include "recognizer/Recognition.h"

namespace quiddity {

ETest RunImagesAndStreams(CRecognition& r) { return DeliverFallBack(r); }

}  // namespace quiddity
