// Helpers for the recognizer's tests: the type of bytes through the bytes
// entry, and a recognition state holding a given head.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "TestSupport.h"
#include "recognizer/Recognition.h"
#include "recognizer/Recognizer.h"

namespace quiddity::test {

// The type of a file made of these bytes.
inline std::string TypeOfBytes(std::span<const std::uint8_t> bytes) {
    std::string out = "stale";
    EstimateFileType(CMemoryByteSource(bytes), out);
    return out;
}
inline std::string TypeOfBytes(const std::vector<std::uint8_t>& bytes) { return TypeOfBytes(std::span(bytes)); }
inline std::string TypeOfBytes(std::string_view bytes) {
    return TypeOfBytes(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

// `size` bytes of filler that no signature starts with, and `text` at `at`.
inline std::vector<std::uint8_t> Padded(std::size_t size, std::size_t at, std::string_view text) {
    std::vector<std::uint8_t> b(size, '.');
    PutText(b, at, text);
    return b;
}

// A recognition whose head holds these bytes (up to 4096), nothing else run.
inline CRecognition HeadOf(std::span<const std::uint8_t> bytes) {
    static const CMemoryByteSource kNoFile;
    CRecognition r(kNoFile);
    r.m_nHead = std::min(bytes.size(), kHeadSize);
    std::copy_n(bytes.begin(), r.m_nHead, r.m_head.begin());
    return r;
}
inline CRecognition HeadOf(const std::vector<std::uint8_t>& bytes) { return HeadOf(std::span(bytes)); }
inline CRecognition HeadOf(std::string_view bytes) {
    return HeadOf(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

}  // namespace quiddity::test
