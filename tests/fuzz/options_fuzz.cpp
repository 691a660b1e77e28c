// libFuzzer target: the encoder's command line. The input is split at NUL
// bytes into arguments; whatever it holds, the parser either refuses it with
// a UsageError or hands back options inside the documented bounds.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "failure.h"
#include "options.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> args(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            args.emplace_back();
        else
            args.back() += static_cast<char>(data[i]);
    }
    for (const std::string& arg : args) {
        Rational rate;
        if (ParseFrameRate(arg, &rate)) Require(rate.num > 0 && rate.den > 0 && rate.num <= 60 * rate.den);
    }
    try {
        const ParsedCommand command = ParseCommandLine(args);
        if (command.show_help) return 0;
        const EncodeOptions& o = command.options;
        Require(!o.input.empty() && !o.output.empty());
        Require(o.width >= 16 && o.width <= 720 && o.width % 2 == 0);
        Require(o.height >= 16 && o.height <= 576 && o.height % 2 == 0);
        Require(o.frame_rate.num > 0 && o.frame_rate.den > 0 && o.frame_rate.num <= 60 * o.frame_rate.den);
        Require(o.channels == 1 || o.channels == 2);
        Require(o.video_bit_rate >= 10000 && o.video_bit_rate <= 10000000);
        Require(o.audio_bit_rate >= 10000 && o.audio_bit_rate <= 10000000);
        Require(o.volume_percent >= 0 && o.volume_percent <= 1000);
    } catch (const UsageError&) {
    }
    return 0;
}
