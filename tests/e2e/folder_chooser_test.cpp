// The output folder chooser of the running program, driven from outside:
// centred on the main window's monitor with the current folder selected,
// cancel and confirm, and the centring hook gone afterwards.
#include <windows.h>

#include <string>
#include <vector>

#include "settings_dialog.h"
#include "scenario.h"
#include "settings_support.h"

using e2e::JoinPath;
using Texts = std::vector<std::string>;

namespace {

// Wine's browse dialog cannot select folders on its drive Z: (the Unix root,
// where the scenarios' own folders lie), so the folders to choose from are
// made on C:.
std::string FolderOnC(const std::string& name) { return JoinPath("C:\\vq-e2e-chooser", name); }

class FolderChooser : public ProgramScenario {
protected:
    HWND OpenChooser() {
        e2e::Click(Button(IDC_OUTPUT_FOLDER));
        return e2e::WaitForFolderDialog(Pid());
    }
    void Press(HWND dialog, int button) {
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
        ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }))
            << "the folder dialog stayed open";
    }
    // Adds one file and returns its target. Each file comes from a folder of
    // its own: the driver's open dialog does not take a second file from the
    // folder it already shows.
    std::string AddAndTarget(const std::string& name) {
        std::string sources = InFolder("sources-" + name);
        MakeFiles(sources, {name});
        int before = e2e::ListRowCount(List());
        AddFiles(sources, {name});
        e2e::WaitUntil([&] { return e2e::ListRowCount(List()) == before + 1; });
        std::vector<std::string> targets = Column(1);
        return targets.empty() ? "<no row>" : targets.back();
    }
};

TEST_F(FolderChooser, OpensCentredWithTheFolderSelectedAndCancelKeepsTheFolder) {
    std::string videos = FolderOnC("videos");
    e2e::MakeEmptyFolder(videos);
    WriteConfig("[Settings]\r\nOutput=" + videos + "\r\n");
    StartProgram();

    // The settings dialog, moved away from the centre, shows later whether
    // the centring hook is still there.
    e2e::Click(Button(IDC_SETTINGS));
    HWND settings = e2e::WaitForSettingsDialog(Pid());
    ASSERT_NE(settings, nullptr);
    SetWindowPos(settings, nullptr, 20, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    e2e::Click(e2e::Control(settings, kIdCancelButton));
    ASSERT_TRUE(e2e::WaitForSettingsDialogGone(Pid()));

    HWND dialog = OpenChooser();
    ASSERT_NE(dialog, nullptr) << "the folder dialog did not open";
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromWindow(Form(), MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& m = monitor.rcMonitor;
    RECT r = e2e::WindowRect(dialog);
    EXPECT_EQ(r.left, m.left + (m.right - m.left - (r.right - r.left)) / 2);
    EXPECT_EQ(r.top, m.top + (m.bottom - m.top - (r.bottom - r.top)) / 2);
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), Form());
    EXPECT_FALSE(IsWindowEnabled(Form()));
    EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::SelectedFolderName(dialog) == "videos"; }))
        << "selected: " << e2e::SelectedFolderName(dialog);
    e2e::PaintNow(dialog);
    Screenshot("folder-chooser");

    Press(dialog, IDCANCEL);
    EXPECT_TRUE(e2e::WaitUntil([&] { return IsWindowEnabled(Form()) != FALSE; }));
    EXPECT_EQ(AddAndTarget("a.avi"), JoinPath(videos, "M4V0.MP4"));

    e2e::Click(Button(IDC_SETTINGS));
    settings = e2e::WaitForSettingsDialog(Pid());
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(e2e::WindowRect(settings).left, 20) << "moved by a hook that should be gone";
    EXPECT_EQ(e2e::WindowRect(settings).top, 30);
    e2e::Click(e2e::Control(settings, kIdCancelButton));
    ASSERT_TRUE(e2e::WaitForSettingsDialogGone(Pid()));
}

TEST_F(FolderChooser, AFolderThatDoesNotExistIsEmptiedAndStaysEmptyOnCancel) {
    WriteConfig("[Settings]\r\n");
    StartProgram();  // no Output key: Output is "0", which names no folder here
    EXPECT_EQ(AddAndTarget("a.avi"), "0\\M4V0.MP4");
    HWND dialog = OpenChooser();
    ASSERT_NE(dialog, nullptr);
    Press(dialog, IDCANCEL);
    EXPECT_EQ(AddAndTarget("b.avi"), "M4V1.MP4");
    CloseProgram();
    EXPECT_EQ(e2e::ReadIni(ConfigIni(), "Settings", "Output"), "");
}

TEST_F(FolderChooser, AChosenFolderIsUsedByRowsAddedAfterwardsOnly) {
    std::string videos = FolderOnC("videos"), other = FolderOnC("other");
    e2e::MakeEmptyFolder(videos);
    e2e::MakeEmptyFolder(other);
    WriteConfig("[Settings]\r\nPspNumber=7\r\nOutput=" + videos + "\r\n");
    StartProgram();
    EXPECT_EQ(AddAndTarget("a.avi"), JoinPath(videos, "M4V7.MP4"));

    HWND dialog = OpenChooser();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::SelectedFolderName(dialog) == "videos"; }));
    // Wait for the chooser's second selection of the current folder, which
    // would undo a click made before it.
    Sleep(300);
    ASSERT_TRUE(e2e::SelectSiblingFolder(dialog, "other")) << "selected: " << e2e::SelectedFolderName(dialog);
    Press(dialog, IDOK);
    EXPECT_EQ(AddAndTarget("b.avi"), JoinPath(other, "M4V8.MP4"));

    // A drive's root comes with its backslash.
    dialog = OpenChooser();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(e2e::SelectFolder(dialog, "C:\\", "C:"));
    Press(dialog, IDOK);
    EXPECT_EQ(AddAndTarget("c.avi"), "C:\\M4V9.MP4");
    EXPECT_EQ(Column(1), (Texts{JoinPath(videos, "M4V7.MP4"), JoinPath(other, "M4V8.MP4"),
                                "C:\\M4V9.MP4"}));
}

}  // namespace
