// A front end's reading of trancor's progress record on Windows, for the
// Wine tests: starts the encoder, opens "Local\trancor-progress-<pid>" by
// the child's process id, marks itself attached and polls until the child
// has exited, then reports what it saw on stdout, one "key=value" a line:
//   found=0|1           the record was opened before the child exited
//   samples=N           whole copies taken while the child ran
//   distinct_done=N     different done_us values among them
//   monotonic=0|1       done_us and frames never went back
//   durations=N         different duration_us values once pictures came
//   exit=N              the child's exit code
//   state= reason= done_us= duration_us= frames= message=
//                       the record read after the exit through the view held
//   reopened_while_held=0|1  the name still opens after the exit
//   reopened_after_close=0|1 ... and after the reader let go too
// Usage: progress_reader.exe trancor.exe [arguments...]
#include <windows.h>

#include <cstdio>
#include <memory>
#include <set>
#include <string>

#include "trancor_progress.h"

namespace {

std::wstring Quoted(const std::wstring& arg) {
    // Enough for the tests' paths: no quotes or trailing backslashes in them.
    return arg.find_first_of(L" \t") == std::wstring::npos && !arg.empty() ? arg : L"\"" + arg + L"\"";
}

std::wstring RecordName(DWORD pid) {
    const std::string name = "Local\\" + std::string(trancor::kProgressNamePrefix) + std::to_string(pid);
    return std::wstring(name.begin(), name.end());
}

struct Handle {
    HANDLE h = nullptr;
    ~Handle() {
        if (h) CloseHandle(h);
    }
};

struct View {
    void* p = nullptr;
    ~View() {
        if (p) UnmapViewOfFile(p);
    }
};

bool Opens(const std::wstring& name) {
    Handle section{OpenFileMappingW(FILE_MAP_READ, FALSE, name.c_str())};
    return section.h != nullptr;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: progress_reader trancor.exe [arguments...]\n");
        return 2;
    }
    std::wstring command_line;
    for (int i = 1; i < argc; ++i) command_line += (i > 1 ? L" " : L"") + Quoted(argv[i]);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    if (!CreateProcessW(argv[1], command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &child)) {
        std::fprintf(stderr, "cannot start the encoder: error %lu\n", GetLastError());
        return 2;
    }
    Handle process{child.hProcess};
    Handle thread{child.hThread};
    const std::wstring name = RecordName(child.dwProcessId);

    // As a front end does: from the moment the child exists until it is gone.
    auto section = std::make_unique<Handle>();
    while (!section->h) {
        section->h = OpenFileMappingW(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, name.c_str());
        if (section->h || WaitForSingleObject(process.h, 2) == WAIT_OBJECT_0) break;
    }
    std::printf("found=%d\n", section->h ? 1 : 0);
    auto view = std::make_unique<View>();
    if (section->h) view->p = MapViewOfFile(section->h, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, trancor::kProgressSize);
    auto* record = static_cast<trancor::ProgressRecord*>(view->p);
    if (record) record->reader_attached.store(1);

    int samples = 0;
    bool monotonic = true;
    std::set<int64_t> done_values, durations;
    trancor::ProgressSnapshot last, snapshot;
    while (WaitForSingleObject(process.h, 10) == WAIT_TIMEOUT) {
        if (!record || !trancor::ReadProgress(*record, snapshot)) continue;
        ++samples;
        monotonic = monotonic && snapshot.done_us >= last.done_us && snapshot.frames >= last.frames;
        done_values.insert(snapshot.done_us);
        if (snapshot.frames > 0) durations.insert(snapshot.duration_us);
        last = snapshot;
    }
    DWORD code = 0;
    GetExitCodeProcess(process.h, &code);
    std::printf("samples=%d\ndistinct_done=%zu\nmonotonic=%d\ndurations=%zu\nexit=%lu\n", samples,
                done_values.size(), monotonic ? 1 : 0, durations.size(), code);
    if (record && trancor::ReadProgress(*record, snapshot))
        std::printf("state=%u\nreason=%u\ndone_us=%lld\nduration_us=%lld\nframes=%lld\nmessage=%s\n",
                    static_cast<unsigned>(snapshot.state), static_cast<unsigned>(snapshot.reason),
                    static_cast<long long>(snapshot.done_us), static_cast<long long>(snapshot.duration_us),
                    static_cast<long long>(snapshot.frames), snapshot.message);
    std::printf("reopened_while_held=%d\n", Opens(name) ? 1 : 0);
    view.reset();
    section.reset();
    std::printf("reopened_after_close=%d\n", Opens(name) ? 1 : 0);
    return 0;
}
