#include "failure_text.h"

#include "codepage.h"
#include "number_text.h"

namespace {

const char* ShortText(trancor::FailureReason reason) {
    using trancor::FailureReason;
    switch (reason) {
    case FailureReason::BadCommandLine: return "编码器不接受这些设置";
    case FailureReason::SourceUnreadable: return "无法读取源文件";
    case FailureReason::UnsupportedFormat: return "不支持的视频格式";
    case FailureReason::SourceDamaged: return "源文件已损坏";
    case FailureReason::SourceIncomplete: return "源文件不完整";
    case FailureReason::OutputFolderMissing: return "输出文件夹不存在";
    case FailureReason::OutputNotWritable: return "无法写入输出文件";
    case FailureReason::DiskFull: return "目标磁盘已满";
    case FailureReason::OutputIsSource: return "目标文件就是源文件";
    case FailureReason::Internal: return "编码器内部错误";
    case FailureReason::None: break;
    }
    // A code of a newer encoder, or none at all.
    return "转换失败";
}

}  // namespace

std::string EncoderReasonText(trancor::FailureReason reason) { return SysText(ShortText(reason)); }

std::string StartFailedReasonText() { return SysText("无法启动编码器"); }

std::string EncoderMissingReasonText(const std::vector<std::string>& pathsLookedAt) {
    std::string text = SysText("找不到编码器 trancor.exe，已查找：");
    for (size_t i = 0; i < pathsLookedAt.size(); ++i) {
        if (i > 0) text += SysText("；");
        text += pathsLookedAt[i];
    }
    return text;
}

std::string ExitCodeReasonText(uint32_t exitCode) {
    // Windows exit codes are unsigned (an NTSTATUS such as 0xC0000005 after a
    // crash); shown as the unsigned number.
    return SysText("编码器退出代码 ") + std::to_string(exitCode);
}

std::string FinishedMessageText(int failedRows) {
    if (failedRows <= 0) return SysText("已完成");
    return SysText("已完成") + "\n" + IntToText(failedRows) + SysText(" 个文件转换失败");
}
