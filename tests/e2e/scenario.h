#pragma once
// The fixture of the program's end-to-end scenarios: every test gets a fresh
// folder with its own copy of Vidquill.exe (so its own Config.ini), starts
// the program there and drives it with the gui_driver library. Whatever is
// still running at the end of a test is killed.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "control_ids.h"
#include "driver/gui_driver.h"
#include "driver/program.h"

class ProgramScenario : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The test's folder (Windows path) and files in it.
    const std::string& Folder() const { return folder_; }
    std::string InFolder(const std::string& name) const { return e2e::JoinPath(folder_, name); }
    std::string ConfigIni() const { return InFolder("Config.ini"); }
    // Writes Config.ini before the start (UTF-8 text, saved in code page 936).
    void WriteConfig(const std::string& text) { e2e::WriteTextFile(ConfigIni(), text); }
    // Empty files with these names in `folder` (created when missing).
    void MakeFiles(const std::string& folder, const std::vector<std::string>& names);

    // Starts the program; with `waitForMainWindow` returns once the main window shows.
    void StartProgram(bool waitForMainWindow = true) { StartProgramAt(InFolder("Vidquill.exe"), waitForMainWindow); }
    // The same with another copy of the program (an unpacked or installed
    // one), started in its own folder.
    void StartProgramAt(const std::string& exe, bool waitForMainWindow = true);
    // How long a start may take before its window shows.
    int startWaitMs_ = e2e::kDefaultWait;
    DWORD Pid() const { return program_.Pid(); }
    e2e::Program& Process() { return program_; }
    HWND Form() const { return form_; }
    HWND List() const { return e2e::Control(form_, IDC_JOB_LIST); }
    HWND Button(int id) const { return e2e::Control(form_, id); }

    // The list's rows, three columns each.
    std::vector<std::vector<std::string>> Rows() const { return e2e::ReadListRows(List(), 3); }
    // Column `column` of every row.
    std::vector<std::string> Column(int column) const;
    // Selects a row by a click on it.
    void ClickRow(int row);

    // The add button and the open dialog: chooses `names` in `folder`.
    void AddFiles(const std::string& folder, const std::vector<std::string>& names);

    // Start, then the end message within `ms`: `endText` over the rows'
    // `statuses`, a screenshot `shot` (none when empty), OK pressed.
    void StartAndConfirmTheEnd(const std::string& endText, const std::vector<std::string>& statuses, int ms,
                               const std::string& shot = "");
    // The progress window's "关闭" once the batch has ended; the main window takes input again.
    void CloseProgressWindow();
    // Rests the pointer on row `row`'s status and waits for a tip of the
    // program whose text `wanted` accepts; a failure names the tips seen.
    ::testing::AssertionResult TipOnStatus(int row, const std::function<bool(const std::string&)>& wanted);

    // Closes the program through its close button and waits for its end.
    void CloseProgram();

    // A screenshot in the artifacts folder: <test name>-<name>.png.
    void Screenshot(const std::string& name);

    // The program to test, as built, and where screenshots go.
    static std::string ProgramExe();
    static std::string ArtifactsFolder();

private:
    std::string folder_;
    e2e::Program program_;
    HWND form_ = nullptr;
};
