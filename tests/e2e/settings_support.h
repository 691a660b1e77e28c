#pragma once
// Driving the settings dialog and the folder chooser of a running program
// from outside. Texts are UTF-8 like the rest of the driver library.
#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// The settings dialog of `pid` ("设置"), once it shows; null on time-out.
HWND WaitForSettingsDialog(DWORD pid);
// True once it is hidden again.
bool WaitForSettingsDialogGone(DWORD pid);

// The text of a drop-down list's selected item ("" when none is selected).
std::string DropDownText(HWND combo);
// Every item, in list order.
std::vector<std::string> DropDownItems(HWND combo);
int DropDownIndex(HWND combo);
int TrackBarPosition(HWND trackBar);

// Replaces an edit field's text, as typing over it would.
void TypeText(HWND edit, const std::string& utf8);

// Puts the keyboard focus on `control` the way the Tab key does (a push
// button becomes the default one), and waits until it has it.
bool FocusControl(HWND dialog, HWND control);
// The control of `window`'s thread that has the keyboard focus.
HWND FocusedWindow(HWND window);

// A control's rectangle in its parent's client coordinates.
RECT RectInParent(HWND control);
SIZE ClientSize(HWND window);

// Paints `window` and its controls now (before a screenshot); the program
// paints only once its queue is empty, which may be later than the test.
void PaintNow(HWND window);

// The system's browse-for-folder dialog of `pid`: a dialog with a folder tree.
HWND WaitForFolderDialog(DWORD pid);
// The display name of the folder selected in its tree.
std::string SelectedFolderName(HWND dialog);
// Selects the folder `name` beside the selected one, as a click on it would.
bool SelectSiblingFolder(HWND dialog, const std::string& name);
// Selects `path` in the folder chooser; true once the tree shows an item
// whose name contains `shownName`.
bool SelectFolder(HWND dialog, const std::string& path, const std::string& shownName);

}  // namespace e2e
