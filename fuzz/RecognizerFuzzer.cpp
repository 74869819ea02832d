// The recognizer and the describers it calls.
#include "FuzzSupport.h"
#include "recognizer/Recognizer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string type;
    quiddity::EstimateFileType(quiddity::fuzz::SourceOf(data, size), type);
    return 0;
}
