#include "batch_watch.h"

#include <commctrl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <map>

#include "control_ids.h"
#include "win32/unique_handle.h"

namespace e2e {

namespace {

// Calls `each` with the id of every process named `exeName` that `parent` started.
void ForEachProcess(const char* exeName, DWORD parent, const std::function<void(DWORD id)>& each) {
    const HANDLE taken = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (taken == INVALID_HANDLE_VALUE) return;
    const UniqueHandle snapshot(taken);
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot.Get(), &entry); more; more = Process32Next(snapshot.Get(), &entry))
        if (entry.th32ParentProcessID == parent && lstrcmpiA(entry.szExeFile, exeName) == 0) each(entry.th32ProcessID);
}

uint64_t Ticks(const FILETIME& time) { return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime; }
double Seconds(const FILETIME& time) { return static_cast<double>(Ticks(time)) / 1e7; }

}  // namespace

bool ProcessRunning(const char* exeName, DWORD parent) { return ProcessCount(exeName, parent) > 0; }

int ProcessCount(const char* exeName, DWORD parent) {
    int count = 0;
    ForEachProcess(exeName, parent, [&](DWORD) { ++count; });
    return count;
}

uint64_t ProcessorTimeOf(const char* exeName, DWORD parent) {
    uint64_t total = 0;
    ForEachProcess(exeName, parent, [&](DWORD id) {
        const UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
        FILETIME created{}, exited{}, kernel{}, user{};
        if (process && GetProcessTimes(process.Get(), &created, &exited, &kernel, &user))
            total += Ticks(kernel) + Ticks(user);
    });
    return total;
}

void KillProcesses(const char* exeName, DWORD parent) {
    ForEachProcess(exeName, parent, [](DWORD id) {
        const UniqueHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
        if (!process) return;
        TerminateProcess(process.Get(), 1);
        WaitForSingleObject(process.Get(), 5000);
    });
}

namespace {

// Every encoder process seen, held open so that its times outlive it.
class EncoderLives {
public:
    void Look(const char* exeName, DWORD parent) {
        ForEachProcess(exeName, parent, [&](DWORD id) {
            if (held_.count(id)) return;
            UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
            if (process) held_.emplace(id, std::move(process));
        });
    }
    int Seen() const { return static_cast<int>(held_.size()); }
    std::vector<EncoderLife> Lives() const {
        std::vector<EncoderLife> lives;
        for (const auto& held : held_) {
            FILETIME created{}, exited{}, kernel{}, user{};
            if (!GetProcessTimes(held.second.Get(), &created, &exited, &kernel, &user)) continue;
            lives.push_back({Seconds(created), Seconds(exited)});
        }
        std::sort(lives.begin(), lives.end(),
                  [](const EncoderLife& a, const EncoderLife& b) { return a.createdS < b.createdS; });
        return lives;
    }

private:
    std::map<DWORD, UniqueHandle> held_;
};

}  // namespace

double SystemClockSeconds() {
    FILETIME now{};
    GetSystemTimePreciseAsFileTime(&now);
    return Seconds(now);
}

BatchWatch WatchBatch(DWORD pid, HWND list, int rows, const char* encoderExe,
                      const std::function<void(int row, int bar)>& sample, int ms) {
    BatchWatch watch;
    watch.highestBar.assign(static_cast<size_t>(rows), -1);
    HWND output = WaitForWindow(pid, VQ_CLASS_PROGRESS_WINDOW);
    if (!output) return watch;
    HWND bar = Control(output, IDC_PROGRESS_BAR);
    EncoderLives lives;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < static_cast<DWORD>(ms)) {
        lives.Look(encoderExe, pid);
        std::vector<int> converting;
        if (list) {
            const auto shown = ReadListRows(list, 3);
            for (int row = 0; row < rows && row < static_cast<int>(shown.size()); ++row)
                if (shown[static_cast<size_t>(row)][2] == "正在处理") converting.push_back(row);
        } else if (lives.Seen() > 0 && lives.Seen() <= rows) {
            converting.push_back(lives.Seen() - 1);
        }
        for (int row : converting) {
            if (!ProcessRunning(encoderExe, pid)) continue;
            // Counted only when the encoder still ran after the reading: the
            // bar's run to its end after the encoder's exit does not count.
            const int position = static_cast<int>(SendMessageA(bar, PBM_GETPOS, 0, 0));
            if (!ProcessRunning(encoderExe, pid)) continue;
            if (position > watch.highestBar[static_cast<size_t>(row)]) watch.highestBar[static_cast<size_t>(row)] = position;
            if (sample) sample(row, position);
        }
        watch.endMessage = WaitForMessageBox(pid, 0);
        if (watch.endMessage.window) break;
        Sleep(100);
    }
    watch.encoders = lives.Lives();
    return watch;
}

}  // namespace e2e
