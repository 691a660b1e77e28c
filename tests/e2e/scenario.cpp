#include "scenario.h"

#include <commctrl.h>

namespace {

std::string TestName() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string(info->test_suite_name()) + "." + info->name();
}

}  // namespace

std::string ProgramScenario::ProgramExe() { return e2e::WindowsPath(VQ_E2E_PROGRAM); }
std::string ProgramScenario::ArtifactsFolder() { return e2e::WindowsPath(VQ_E2E_ARTIFACTS); }

void ProgramScenario::SetUp() {
    folder_ = e2e::JoinPath(e2e::WindowsPath(VQ_E2E_WORK), TestName());
    e2e::MakeEmptyFolder(folder_);
    // Screenshots of an earlier run of this test would be mistaken for this one's.
    std::string pattern = e2e::JoinPath(ArtifactsFolder(), TestName() + "-*.png");
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA(e2e::ToSystem(pattern).c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            DeleteFileA((e2e::ToSystem(ArtifactsFolder()) + "\\" + found.cFileName).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    e2e::CopyOrThrow(ProgramExe(), InFolder("Vidquill.exe"));
}

void ProgramScenario::TearDown() {
    if (HasFailure() && program_.Running()) Screenshot("failure");
    program_.Kill();
}

void ProgramScenario::MakeFiles(const std::string& folder, const std::vector<std::string>& names) {
    e2e::MakeEmptyFolder(folder);
    for (const std::string& name : names) e2e::WriteTextFile(e2e::JoinPath(folder, name), "");
}

void ProgramScenario::StartProgramAt(const std::string& exe, bool waitForMainWindow) {
    // Its own folder is the current one, as when started from Explorer or the Start menu.
    program_ = e2e::Program(exe, exe.substr(0, exe.find_last_of('\\')));
    if (!waitForMainWindow) return;
    form_ = e2e::WaitForWindow(Pid(), VQ_CLASS_MAIN_WINDOW, "Vidquill", startWaitMs_);
    ASSERT_NE(form_, nullptr) << "the main window did not appear";
}

std::vector<std::string> ProgramScenario::Column(int column) const {
    std::vector<std::string> texts;
    for (const auto& row : Rows()) texts.push_back(row.at(static_cast<size_t>(column)));
    return texts;
}

void ProgramScenario::ClickRow(int row) {
    RECT r = e2e::ListRowRect(List(), row);
    e2e::PostLeftClick(List(), POINT{r.left + 20, (r.top + r.bottom) / 2});
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::ListSelectedRow(List()) == row; }))
        << "row " << row << " was not selected by a click";
}

void ProgramScenario::AddFiles(const std::string& folder, const std::vector<std::string>& names) {
    e2e::Click(Button(IDC_ADD_FILES));
    ASSERT_TRUE(e2e::ChooseFilesInOpenDialog(Pid(), folder, names)) << "the open dialog did not take the files";
}

void ProgramScenario::StartAndConfirmTheEnd(const std::string& endText, const std::vector<std::string>& statuses,
                                            int ms, const std::string& shot) {
    e2e::Click(Button(IDC_START));
    e2e::MessageBoxInfo box = e2e::WaitForMessageBox(Pid(), ms);
    ASSERT_NE(box.window, nullptr) << "no end message";
    EXPECT_EQ(box.text, endText);
    EXPECT_EQ(Column(2), statuses);
    if (!shot.empty()) Screenshot(shot);
    ASSERT_TRUE(e2e::PressOk(box));
}

void ProgramScenario::CloseProgressWindow() {
    HWND output = e2e::WaitForWindow(Pid(), VQ_CLASS_PROGRESS_WINDOW);
    ASSERT_NE(output, nullptr) << "no progress window";
    HWND close = e2e::Control(output, IDC_PROGRESS_CANCEL);
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::WindowText(close) == "关闭"; }));
    e2e::Click(close);
    ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowEnabled(Form()) != FALSE; }));
}

::testing::AssertionResult ProgramScenario::TipOnStatus(int row,
                                                        const std::function<bool(const std::string&)>& wanted) {
    // A batch leaves the list scrolled to its last rows.
    SendMessageA(List(), LVM_ENSUREVISIBLE, row, FALSE);
    RECT rect = e2e::ListRowRect(List(), row);
    POINT status{rect.right - 40, (rect.top + rect.bottom) / 2};
    ClientToScreen(List(), &status);
    // The first move onto a row changes the tip's text and hides it; the
    // tip shows on the next move, as a hand's pointer always makes.
    if (!e2e::MovePointer(Form(), status) || !e2e::MovePointer(Form(), POINT{status.x - 2, status.y}))
        return ::testing::AssertionFailure() << "row " << row << ": the pointer did not settle";
    // The program has more than one tip window; a shown tip hides again
    // after a while, so the failure names the last ones that showed.
    std::vector<std::string> seen;
    if (e2e::WaitUntil([&] {
            std::vector<std::string> shown;
            for (HWND tip : e2e::TopWindows(Pid(), "tooltips_class32")) {
                shown.push_back(e2e::WindowText(tip));
                if (wanted(shown.back())) return true;
            }
            if (!shown.empty()) seen = shown;
            return false;
        }))
        return ::testing::AssertionSuccess();
    ::testing::AssertionResult failure = ::testing::AssertionFailure() << "row " << row << ", tips:";
    for (const std::string& text : seen) failure << " '" << text << "'";
    return failure;
}

void ProgramScenario::CloseProgram() {
    e2e::Click(Button(IDC_CLOSE));
    DWORD code = 1;
    ASSERT_TRUE(program_.WaitForExit(10000, &code)) << "the program did not end";
    EXPECT_EQ(code, 0u);
}

void ProgramScenario::Screenshot(const std::string& name) {
    std::string folder = ArtifactsFolder();
    if (!e2e::DirectoryExists(folder)) e2e::MakeEmptyFolder(folder);
    e2e::SaveScreenshot(e2e::JoinPath(folder, TestName() + "-" + name + ".png"));
}
