#pragma once
// Why a row ended "失败", as the list's tip shows it, and the end-of-batch
// message. Texts in the system code page.
#include <cstdint>
#include <string>
#include <vector>

#include "trancor_progress.h"

// A reason the encoder published, in Chinese only (the tip shows it; the
// encoder's English detail goes to the row's log), e.g. "输出文件夹不存在".
std::string EncoderReasonText(trancor::FailureReason reason);

// The program's own reasons, when the encoder said nothing.
std::string StartFailedReasonText();                // "无法启动编码器"
std::string ExitCodeReasonText(uint32_t exitCode);  // "编码器退出代码 N"
// No encoder where it was looked for (paths in the system code page):
// "找不到编码器 trancor.exe，已查找：<path>；<path>".
std::string EncoderMissingReasonText(const std::vector<std::string>& pathsLookedAt);

// "已完成" when no row failed, else "已完成" + newline + "N 个文件转换失败".
std::string FinishedMessageText(int failedRows);
