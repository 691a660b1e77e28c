// A large folder dropped on the main window under Wine: 10,000 videos (empty
// files) in 500 folders. Measures how long until every row is in, and how
// long the window took at most to answer a message meanwhile (a window that
// walks the tree on its own thread answers within milliseconds). A
// measurement, not a test:
//     scripts/wine-run build/win/tests/e2e/e2e_drop_bench.exe
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "control_ids.h"
#include "driver/gui_driver.h"
#include "driver/program.h"

namespace {

constexpr int kFolders = 500, kFilesPerFolder = 20;

double Now() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main() {
    const std::string folder = e2e::JoinPath(e2e::WindowsPath(VQ_E2E_WORK), "drop-bench");
    const std::string tree = e2e::JoinPath(folder, "tree");
    e2e::MakeEmptyFolder(folder);
    e2e::MakeEmptyFolder(tree);
    for (int f = 0; f < kFolders; ++f) {
        const std::string sub = e2e::JoinPath(tree, "folder" + std::to_string(f));
        CreateDirectoryA(sub.c_str(), nullptr);
        for (int i = 0; i < kFilesPerFolder; ++i)
            e2e::WriteTextFile(e2e::JoinPath(sub, "clip" + std::to_string(i) + ".avi"), "");
    }
    const std::string exe = e2e::JoinPath(folder, "Vidquill.exe");
    e2e::CopyOrThrow(e2e::WindowsPath(VQ_E2E_PROGRAM), exe);
    e2e::WriteTextFile(e2e::JoinPath(folder, "Config.ini"), "[Settings]\r\nOutput=" + folder + "\r\n");

    e2e::Program program(exe, folder);
    HWND form = e2e::WaitForWindow(program.Pid(), VQ_CLASS_MAIN_WINDOW, "", 30000);
    if (!form) {
        std::printf("the main window did not appear\n");
        return 1;
    }
    HWND list = e2e::Control(form, IDC_JOB_LIST);
    const int total = kFolders * kFilesPerFolder;
    double slowestAnswer = 0;
    const double start = Now();
    // Asked every 20 ms whether the window answers, until every row is in.
    const bool done = e2e::DropFiles(form, {tree}, [&] {
        const double asked = Now();
        DWORD_PTR result = 0;
        SendMessageTimeoutA(form, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &result);
        slowestAnswer = std::max(slowestAnswer, Now() - asked);
        return e2e::ListRowCount(list) == total;
    }, 600000);
    const double took = Now() - start;
    std::printf("%d files in %d folders: %s after %.2f s; the window answered within %.0f ms at worst\n", total,
                kFolders, done ? "all rows in" : "NOT all rows in", took, slowestAnswer * 1000);
    PostMessageA(form, WM_CLOSE, 0, 0);
    program.WaitForExit(30000);
    return done ? 0 : 1;
}
