// The recognizer over the head and tail a file of these bytes would give,
// with the file on disk for the describers that reopen it.
#include <algorithm>
#include <span>

#include "FuzzSupport.h"
#include "recognizer/Recognition.h"
#include "recognizer/Recognizer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quiddity;
    const std::string& path = fuzz::CFuzzInputFile::Instance().Write(data, size);
    const std::span<const std::uint8_t> bytes(data, size);
    const auto head = bytes.first(std::min(size, kHeadSize));
    const auto tail = size >= kTailSize ? bytes.last(kTailSize) : std::span<const std::uint8_t>();
    std::string type;
    EstimateFileTypeOfBytes(head, tail, path, type);
    return 0;
}
