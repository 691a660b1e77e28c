#include "encoder_command.h"

#include "codepage.h"
#include "number_text.h"

namespace {

const char kFixedTitle[] = "pelmora";

// The source's file name without folder and extension, in the code page the
// source path is in (a row added under its 8.3 name gives that name). The
// fixed title stands in for a name that comes out empty.
std::string TitleOf(const std::string& source, const ConversionSettings& settings) {
    if (settings.TitleFromName != 1) return kFixedTitle;
    const size_t slash = LastBackslash(source);
    std::string name = slash == std::string::npos ? source : source.substr(slash + 1);
    // A dot is never the second byte of a two-byte character; a leading one
    // (".avi") starts the name rather than an extension.
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return name.empty() ? kFixedTitle : name;
}

}  // namespace

std::string BuildEncoderCommand(const ConversionJob& job, const ConversionSettings& settings,
                                const std::string& encoderPath) {
    // Every option from -s to -f ends up with two spaces before it, -y with
    // one; nothing is quoted beyond the two paths and the title. The
    // encoder's path is quoted only when it has a space (the program folder's
    // encoder, e.g. under "C:\Program Files"): unquoted, the system would try
    // "C:\Program.exe" first. The system folder's line stays as it was.
    std::string cmd = encoderPath.find(' ') == std::string::npos ? encoderPath : "\"" + encoderPath + "\"";
    cmd += " -i \"" + job.Source + "\" ";
    cmd += " -s " + EncodedFrameSizeText(settings) + " ";
    // The later options come right after the frame size, in the same rhythm;
    // at 0 they add nothing, which keeps older settings' lines as they were.
    if (UsesH264(settings)) cmd += " -vcodec h264 ";
    const std::string fit = FitText(settings.AspectMode);
    if (!fit.empty()) cmd += " -fit " + fit + " ";
    if (settings.Subtitles == 1) cmd += " -sub auto ";
    if (settings.AudioTrack == kAudioChineseFirst) cmd += " -alang chi ";
    cmd += " -r " + FrameRateText(settings.Framerate) + " ";
    cmd += " -ac " + ChannelText(settings.Channels) + " ";
    cmd += " -b " + IntToText(settings.VideoQuality) + " ";
    cmd += " -ab " + IntToText(settings.AudioQuality) + " ";
    cmd += " -vol " + IntToText(settings.Volume) + " ";
    cmd += " -title \"" + TitleOf(job.Source, settings) + "\" ";
    cmd += " -ar 24000 ";
    cmd += " -acodec aac ";
    cmd += " -f psp";
    cmd += " -y \"" + job.Target + "\"";
    return cmd;
}
