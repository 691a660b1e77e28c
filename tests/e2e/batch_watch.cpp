#include "batch_watch.h"

#include <commctrl.h>
#include <tlhelp32.h>

#include "control_ids.h"

namespace e2e {

bool ProcessRunning(const char* exeName) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Process32First(snapshot, &entry); more && !found; more = Process32Next(snapshot, &entry))
        found = lstrcmpiA(entry.szExeFile, exeName) == 0;
    CloseHandle(snapshot);
    return found;
}

namespace {

// Calls `each` with the id of every process named `exeName`.
void ForEachProcess(const char* exeName, const std::function<void(DWORD id)>& each) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (lstrcmpiA(entry.szExeFile, exeName) == 0) each(entry.th32ProcessID);
    CloseHandle(snapshot);
}

}  // namespace

int ProcessCount(const char* exeName) {
    int count = 0;
    ForEachProcess(exeName, [&](DWORD) { ++count; });
    return count;
}

uint64_t ProcessorTimeOf(const char* exeName) {
    uint64_t total = 0;
    ForEachProcess(exeName, [&](DWORD id) {
        HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
        if (!process) return;
        FILETIME created{}, exited{}, kernel{}, user{};
        if (GetProcessTimes(process, &created, &exited, &kernel, &user))
            for (const FILETIME& t : {kernel, user})
                total += (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
        CloseHandle(process);
    });
    return total;
}

BatchWatch WatchBatch(DWORD pid, HWND list, int rows, const char* encoderExe,
                      const std::function<void(int row, int bar)>& sample, int ms) {
    BatchWatch watch;
    watch.highestBar.assign(static_cast<size_t>(rows), -1);
    HWND output = WaitForWindow(pid, VQ_CLASS_PROGRESS_WINDOW);
    if (!output) return watch;
    HWND bar = Control(output, IDC_PROGRESS_BAR);
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < static_cast<DWORD>(ms)) {
        const auto shown = ReadListRows(list, 3);
        for (int row = 0; row < rows && row < static_cast<int>(shown.size()); ++row) {
            if (shown[static_cast<size_t>(row)][2] != "正在处理" || !ProcessRunning(encoderExe)) continue;
            // Counted only when the encoder still ran after the reading: the
            // bar's run to its end after the encoder's exit does not count.
            const int position = static_cast<int>(SendMessageA(bar, PBM_GETPOS, 0, 0));
            if (!ProcessRunning(encoderExe)) continue;
            if (position > watch.highestBar[static_cast<size_t>(row)]) watch.highestBar[static_cast<size_t>(row)] = position;
            if (sample) sample(row, position);
        }
        watch.endMessage = WaitForMessageBox(pid, 0);
        if (watch.endMessage.window) break;
        Sleep(100);
    }
    return watch;
}

}  // namespace e2e
