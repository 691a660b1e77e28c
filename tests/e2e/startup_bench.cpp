// Start-up time of the program under Wine: from process creation until the
// main window shows, five starts in a row (without Config.ini, the encoder
// absent), printed with their median. A measurement, not a test:
//     cmake --build build/win --target e2e_startup_bench
//     scripts/wine-run build/win/tests/e2e/e2e_startup_bench.exe
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "control_ids.h"
#include "driver/gui_driver.h"
#include "driver/program.h"

int main() {
    std::string folder = e2e::JoinPath(e2e::WindowsPath(VQ_E2E_WORK), "startup-bench");
    e2e::MakeEmptyFolder(folder);
    std::string exe = e2e::JoinPath(folder, "Vidquill.exe");
    e2e::CopyOrThrow(e2e::WindowsPath(VQ_E2E_PROGRAM), exe);

    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> times;
    for (int run = 0; run < 5; ++run) {
        DeleteFileA(e2e::ToSystem(e2e::JoinPath(folder, "Config.ini")).c_str());
        LARGE_INTEGER start, shown;
        QueryPerformanceCounter(&start);
        e2e::Program program(exe, folder);
        HWND form = nullptr;
        while (!form) {
            auto windows = e2e::TopWindows(program.Pid(), VQ_CLASS_MAIN_WINDOW);
            if (!windows.empty()) form = windows.front();
            else if (!program.Running()) break;
            else Sleep(1);
        }
        QueryPerformanceCounter(&shown);
        if (!form) {
            std::printf("run %d: the main window did not appear\n", run + 1);
            return 1;
        }
        double ms = 1000.0 * static_cast<double>(shown.QuadPart - start.QuadPart) /
                    static_cast<double>(frequency.QuadPart);
        times.push_back(ms);
        std::printf("run %d: %.0f ms\n", run + 1, ms);
        PostMessageA(form, WM_CLOSE, 0, 0);
        program.WaitForExit(10000);
    }
    std::sort(times.begin(), times.end());
    std::printf("median of %zu starts: %.0f ms\n", times.size(), times[times.size() / 2]);
    return 0;
}
