#pragma once
// What a batch publishes for the windows. The worker keeps it under one
// lock; the UI thread takes a whole copy on its timer and whenever the batch
// says it changed, and shows that - the worker never waits for a window.
#include <string>
#include <vector>

struct RowState {
    std::string status;  // "", "正在处理" (with its share when rows run side by side), "完成", "失败", "放弃"
    std::string reason;  // why the row failed, in Chinese; set together with "失败"
    std::string logPath = {};  // the log of the row's run (run_log.h), once it has one
};

struct BatchView {
    std::vector<RowState> rows;  // the list's rows at Start, and those added since
    int bar = 0;                 // the progress window's bar, 0-kProgressBarMax
    std::string caption;         // "a.avi >> M4V30000.MP4"; empty until a row has run a second
    std::string statusLine;
    int selectedRow = -1;        // the row started last
    int runningRows = 0;
    bool paused = false;
    bool finished = false;       // the last row is done (never after a cancel): the end message is due
    std::string finishedMessage; // its text (FinishedMessageText)
    bool ended = false;          // nothing more will change
};
