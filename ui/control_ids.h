#pragma once
// Control and menu identifiers of the main and progress windows. Test
// programs that drive the windows from outside use them too, together with
// the window class names below; so neither the numbers nor the class names
// change.

// Window classes.
#define VQ_CLASS_MAIN_WINDOW "TForm1"
#define VQ_CLASS_PROGRESS_WINDOW "TOutputForm"
#define VQ_CLASS_FLATBUTTON "TSpeedButton"
#define VQ_CLASS_COUNTDOWN_WINDOW "VidquillCountdown"

// The main window
#define IDC_ADD_FILES 101
#define IDC_OUTPUT_FOLDER 103
#define IDC_START 104
#define IDC_SETTINGS 105
#define IDC_HELP_MENU 106
#define IDC_MINIMISE 108
#define IDC_CLOSE 109
#define IDC_REMOVE_ROWS 110  // "移除"
#define IDC_JOB_LIST 120

// The row menu and the help menu
#define IDM_REMOVE_ROWS 201
#define IDM_ADD_FILES 202
#define IDM_VIEW_LOG 203
#define IDM_REPORT_PROBLEM 211
#define IDM_HOME_PAGE 212

// The progress window
#define IDC_PROGRESS_BAR 301
#define IDC_PROGRESS_OPEN_FOLDER 302  // "打开文件夹"
#define IDC_PROGRESS_CANCEL 303       // "取消" / "关闭"
#define IDC_PROGRESS_STATUS_LINE 304  // the encoder's progress in words
#define IDC_PROGRESS_PAUSE 305        // "暂停" / "继续"
#define IDC_PROGRESS_AFTER_BATCH 306  // "完成后:" 不操作 / 关闭计算机 / 睡眠
#define IDC_PROGRESS_SPACE_LEFT 307   // "目标磁盘可用 1.2 GB"

// The countdown before shutdown or sleep
#define IDC_COUNTDOWN_TEXT 401
#define IDC_COUNTDOWN_CANCEL 402  // "取消"
