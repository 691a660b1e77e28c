#include "settings_store.h"

#include "../engine/app_error.h"
#include "../engine/number_text.h"

namespace {

const char kSection[] = "Settings";

int32_t ReadInt(IniFile& ini, const std::string& path, const char* key) {
    return TextToInt(ini.ReadString(path, kSection, key, "0"));
}

void Write(IniFile& ini, const std::string& path, const char* key, const std::string& value) {
    if (!ini.WriteString(path, kSection, key, value)) throw WriteError(path);
}

}  // namespace

std::string ConfigPath(const std::string& exePath) {
    size_t slash = exePath.rfind('\\');
    std::string folder = slash == std::string::npos ? std::string() : exePath.substr(0, slash);
    // "C:" alone would mean the drive's current folder; the root keeps its slash.
    if (folder.size() == 2 && folder[1] == ':') folder += '\\';
    return folder + "\\Config.ini";
}

void LoadSettings(IniFile& ini, const std::string& path, ConversionSettings& settings,
                  int32_t& nextNumber) {
    settings.Resolution = ReadInt(ini, path, "Resolution");
    settings.Channels = ReadInt(ini, path, "Channels");
    settings.Framerate = ReadInt(ini, path, "Framerate");
    settings.VideoQuality = ReadInt(ini, path, "VideoQuality");
    settings.AudioQuality = ReadInt(ini, path, "AudioQuality");
    settings.Volume = ReadInt(ini, path, "Volume");
    settings.PspNumber = ReadInt(ini, path, "PspNumber");
    settings.AspectMode = ReadInt(ini, path, "AspectMode");
    settings.VideoFormat = ReadInt(ini, path, "VideoFormat");
    settings.TitleFromName = ReadInt(ini, path, "TitleFromName");
    settings.Subtitles = ReadInt(ini, path, "Subtitles");
    settings.AudioTrack = ReadInt(ini, path, "AudioTrack");
    settings.Simultaneous = ReadInt(ini, path, "Simultaneous");
    nextNumber = settings.PspNumber;
}

void SaveSettings(IniFile& ini, const std::string& path, const ConversionSettings& settings) {
    Write(ini, path, "Resolution", IntToText(settings.Resolution));
    Write(ini, path, "Framerate", IntToText(settings.Framerate));
    Write(ini, path, "Channels", IntToText(settings.Channels));
    Write(ini, path, "VideoQuality", IntToText(settings.VideoQuality));
    Write(ini, path, "AudioQuality", IntToText(settings.AudioQuality));
    Write(ini, path, "Volume", IntToText(settings.Volume));
    Write(ini, path, "PspNumber", IntToText(settings.PspNumber));
    Write(ini, path, "AspectMode", IntToText(settings.AspectMode));
    Write(ini, path, "VideoFormat", IntToText(settings.VideoFormat));
    Write(ini, path, "TitleFromName", IntToText(settings.TitleFromName));
    Write(ini, path, "Subtitles", IntToText(settings.Subtitles));
    Write(ini, path, "AudioTrack", IntToText(settings.AudioTrack));
    Write(ini, path, "Simultaneous", IntToText(settings.Simultaneous));
}

std::string ReadOutput(IniFile& ini, const std::string& path) {
    return ini.ReadString(path, kSection, "Output", "0");
}

void WriteOutput(IniFile& ini, const std::string& path, const std::string& output) {
    Write(ini, path, "Output", output);
}
