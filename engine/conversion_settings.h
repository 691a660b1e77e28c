#pragma once
// Everything the user can set about a conversion, and the three small tables
// whose positions the settings store.
#include <cstdint>
#include <string>

struct ConversionSettings {
    int32_t Resolution = 0;    // index into the frame-size table
    int32_t Framerate = 0;     // index into the frame-rate table
    int32_t Channels = 0;      // index into the channel table
    int32_t VideoQuality = 0;  // kbit/s
    int32_t AudioQuality = 0;  // kbit/s
    int32_t Volume = 0;        // 0-200 as the settings dialog offers it
    int32_t PspNumber = 30000; // number of the first target file of a list
    std::string Output;        // output folder, system code page
};

// Encoder texts of the tables; an index outside its table gives "".
std::string FrameSizeText(int32_t index);  // "320x240", "368x208", "400x192"
std::string FrameRateText(int32_t index);  // 14.985, 29.97 by FloatToText
std::string ChannelText(int32_t index);    // "1", "2"
