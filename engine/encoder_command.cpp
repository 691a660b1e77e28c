#include "encoder_command.h"

#include "number_text.h"

std::string BuildEncoderCommand(const ConversionJob& job, const ConversionSettings& settings,
                                const std::string& encoderPath) {
    // Every option from -s to -f ends up with two spaces before it, -y with
    // one. The encoder's path is quoted only when it has a space (the program
    // folder's encoder, e.g. under "C:\Program Files"): unquoted, the system
    // would try "C:\Program.exe" first. The system folder's line stays as it
    // always was.
    std::string cmd = encoderPath.find(' ') == std::string::npos ? encoderPath : "\"" + encoderPath + "\"";
    cmd += " -i \"" + job.Source + "\" ";
    cmd += " -s " + FrameSizeText(settings.Resolution) + " ";
    cmd += " -r " + FrameRateText(settings.Framerate) + " ";
    cmd += " -ac " + ChannelText(settings.Channels) + " ";
    cmd += " -b " + IntToText(settings.VideoQuality) + " ";
    cmd += " -ab " + IntToText(settings.AudioQuality) + " ";
    cmd += " -vol " + IntToText(settings.Volume) + " ";
    cmd += " -title \"pelmora\" ";
    cmd += " -ar 24000 ";
    cmd += " -acodec aac ";
    cmd += " -f psp";
    cmd += " -y \"" + job.Target + "\"";
    return cmd;
}
