// A large folder dropped on the main window under Wine: 10,000 videos (empty
// files) in 500 folders. Measures how long until every row is in, and how
// long the window took at most to answer a message meanwhile (a window that
// walks the tree on its own thread and adds large drops in slices answers
// within a slice's time), then whether the rows are in the walk's order. A
// measurement, not a test:
//     cmake --build build/win --target e2e_drop_bench
//     scripts/wine-run build/win/tests/e2e/e2e_drop_bench.exe
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

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

// The walk's order: folders, then each folder's files, in name order (the
// names here are lower-case ASCII, so byte order is name order).
std::vector<std::string> WalkOrder(const std::string& tree) {
    std::vector<std::string> folders, files, paths;
    for (int f = 0; f < kFolders; ++f) folders.push_back("folder" + std::to_string(f));
    for (int i = 0; i < kFilesPerFolder; ++i) files.push_back("clip" + std::to_string(i) + ".avi");
    std::sort(folders.begin(), folders.end());
    std::sort(files.begin(), files.end());
    for (const std::string& folder : folders)
        for (const std::string& file : files) paths.push_back(e2e::JoinPath(e2e::JoinPath(tree, folder), file));
    return paths;
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
    const std::vector<std::string> expected = WalkOrder(tree);
    int misplaced = 0;
    const auto rows = e2e::ReadListRows(list, 1);
    for (size_t i = 0; i < rows.size() && i < expected.size(); ++i) misplaced += rows[i][0] != expected[i];
    std::printf("rows out of the walk's order: %d\n", misplaced);
    PostMessageA(form, WM_CLOSE, 0, 0);
    program.WaitForExit(30000);
    return done && misplaced == 0 ? 0 : 1;
}
