#include "scenario.h"

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
    form_ = e2e::WaitForWindow(Pid(), VQ_CLASS_MAIN_WINDOW, "Vidquill");
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
