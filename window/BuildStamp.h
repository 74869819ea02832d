// When the build was configured, as the about box shows it: "Oct 12 2007"
// and "13:06:54", in UTC, or the moment SOURCE_DATE_EPOCH names, so that a
// reproducible build gives the same bytes.
#pragma once

namespace quiddity {

extern const char kBuildDate[];
extern const char kBuildTime[];

}  // namespace quiddity
