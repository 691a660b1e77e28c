#pragma once
// Config.ini: the conversion settings and the output folder between runs,
// section "Settings", one decimal value per key (Output as a path).
#include <cstdint>
#include <string>

#include "../engine/conversion_settings.h"
#include "ini_file.h"

// The settings file beside the executable. A drive root keeps its backslash,
// which gives two in a row ("C:\\Config.ini"); the ini functions accept it.
std::string ConfigPath(const std::string& exePath);

// Reads Resolution, Channels, Framerate, VideoQuality, AudioQuality, Volume,
// PspNumber, AspectMode, VideoFormat, TitleFromName, Subtitles, AudioTrack,
// Simultaneous (default "0" each, so an older file gives today's behaviour),
// then sets nextNumber to PspNumber. A value
// that is not a whole number throws ConversionError at that key: the fields
// read before it keep their new values and nextNumber is left alone.
void LoadSettings(IniFile& ini, const std::string& path, ConversionSettings& settings,
                  int32_t& nextNumber);

// Writes Resolution, Framerate, Channels, VideoQuality, AudioQuality, Volume,
// PspNumber, AspectMode, VideoFormat, TitleFromName, Subtitles, AudioTrack,
// Simultaneous. A refused write throws WriteError(path) and stops there.
void SaveSettings(IniFile& ini, const std::string& path, const ConversionSettings& settings);

// The output folder: key Output, default "0", unchanged text.
std::string ReadOutput(IniFile& ini, const std::string& path);
void WriteOutput(IniFile& ini, const std::string& path, const std::string& output);
