#pragma once
// OpenDialog1: the multi-select file-open dialog of the main window.
#include <windows.h>

#include <string>
#include <vector>

// Runs the dialog over `owner`. The chosen files' full paths in UTF-8 (the
// dialog is read in wide characters, so names outside the system code page
// arrive whole), in the order the dialog returns them; empty when the user
// cancels or the selection does not fit the dialog's name buffer (which the
// dialog reports as a failure).
std::vector<std::string> RunOpenDialog(HWND owner);
