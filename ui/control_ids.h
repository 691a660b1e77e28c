#pragma once
// Control and menu identifiers of the main and progress windows. Test
// programs that drive the windows from outside use them too, together with
// the window class names below.

// Window classes.
#define VQ_CLASS_FORM1 "TForm1"
#define VQ_CLASS_OUTPUTFORM "TOutputForm"
#define VQ_CLASS_FLATBUTTON "TSpeedButton"

// TForm1
#define IDC_SPEEDBUTTON1 101   // add files
#define IDC_SPEEDBUTTON3 103   // output folder
#define IDC_SPEEDBUTTON4 104   // start
#define IDC_SPEEDBUTTON5 105   // settings
#define IDC_SPEEDBUTTON6 106   // help menu
#define IDC_SPEEDBUTTON8 108   // minimise
#define IDC_SPEEDBUTTON9 109   // close
#define IDC_SPEEDBUTTON10 110  // remove ("移除")
#define IDC_LISTVIEW1 120

// PopupMenu1 (row menu) and PopupMenu2 (help menu)
#define IDM_DELETE1 201
#define IDM_ADD1 202
#define IDM_SUBMITQUESTIONORBUG1 211
#define IDM_HOMEPAGE1 212

// TOutputForm
#define IDC_OUTPUT_PROGRESSBAR1 301
#define IDC_OUTPUT_SPEEDBUTTON1 302  // "打开文件夹"
#define IDC_OUTPUT_SPEEDBUTTON2 303  // "取消" / "关闭"
#define IDC_OUTPUT_STATUSLINE 304    // the encoder's progress in words
