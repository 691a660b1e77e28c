#include "encoder_command.h"

#include "number_text.h"

std::string BuildEncoderCommand(const ConversionJob& job, const ConversionSettings& settings,
                                const std::string& encoderPath) {
    // Every option from -s to -f ends up with two spaces before it, -y with
    // one; nothing is quoted beyond the two paths.
    std::string cmd = encoderPath;
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
