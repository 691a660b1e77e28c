// libFuzzer target: the program's text-to-integer rule (TextToInt). Every
// text either converts or raises ConversionError; a converted value written
// back with IntToText converts to itself.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app_error.h"
#include "number_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        const int32_t value = TextToInt(text);
        if (TextToInt(IntToText(value)) != value) std::abort();
    } catch (const ConversionError&) {
    }
    return 0;
}
