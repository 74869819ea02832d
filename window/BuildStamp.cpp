#include "window/BuildStamp.h"

namespace quiddity {

const char kBuildDate[] = QUIDDITY_BUILD_DATE;
const char kBuildTime[] = QUIDDITY_BUILD_TIME;

}  // namespace quiddity
