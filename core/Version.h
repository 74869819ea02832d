#pragma once

namespace quiddity {

inline constexpr const char kQuiddityVersion[] = "0.1.0";

}  // namespace quiddity
