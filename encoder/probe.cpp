#include "probe.h"

#include "console.h"
#include "failure.h"
#include "source.h"

namespace {

int64_t LengthUs(const std::string& path) {
    try {
        Source source(path);
        const int64_t known = source.known_duration_us();
        if (known >= 0) return known;
        // A guess from the bit rate is still worth an estimate of the size.
        const double hint = source.length_hint();
        return hint > 0 ? static_cast<int64_t>(hint * 1e6) : -1;
    } catch (const Failure&) {
        return -1;
    }
}

}  // namespace

int ProbeLengths(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) PrintLine(std::to_string(LengthUs(path)), false);
    return 0;
}
