// Names of the 16-bit WAVE format tags (the wFormatTag of a WAVEFORMATEX, as
// registered in Microsoft's mmreg.h).
#pragma once

#include <cstdint>
#include <string_view>

namespace quiddity {

// The codec's name; "(unknown subformat)" for tag 0 and "(subformat not
// recognized)" for a tag that is not registered.
std::string_view DescribeWaveFormat(std::uint16_t tag);

}  // namespace quiddity
