// A front end of trancor's progress record on Windows, for the Wine tests.
// It makes the record before the encoder runs, as version 2 of the contract
// lets it: by default the program's way, under the encoder's process id
// while the encoder is held suspended; with --named under a name of its own,
// given to the encoder with -progress-name. It polls until the child has
// exited, then reports what it saw on stdout, one "key=value" a line:
//   samples=N           whole copies taken while the child ran
//   distinct_done=N     different done_us values among them
//   monotonic=0|1       done_us and frames never went back
//   durations=N         different duration_us values once pictures came
//   exit=N              the child's exit code
//   state= reason= done_us= duration_us= frames= message=
//                       the record read after the exit
//   reopened_after_close=0|1  the name still opens after the reader let go
// Usage: progress_reader.exe [--named] trancor.exe [arguments...]
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

std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

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

// The record, made and mapped before the encoder writes to it.
struct Record {
    Handle section;
    View view;
    explicit Record(const std::wstring& name) {
        section.h = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, trancor::kProgressSize,
                                       name.c_str());
        if (section.h) view.p = MapViewOfFile(section.h, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, trancor::kProgressSize);
    }
    trancor::ProgressRecord* get() const { return static_cast<trancor::ProgressRecord*>(view.p); }
};

bool Opens(const std::wstring& name) {
    Handle section{OpenFileMappingW(FILE_MAP_READ, FALSE, name.c_str())};
    return section.h != nullptr;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const bool named = argc > 1 && std::wstring(argv[1]) == L"--named";
    const int first = named ? 2 : 1;
    if (argc <= first) {
        std::fprintf(stderr, "usage: progress_reader [--named] trancor.exe [arguments...]\n");
        return 2;
    }
    std::wstring command_line;
    for (int i = first; i < argc; ++i) command_line += (i > first ? L" " : L"") + Quoted(argv[i]);
    std::unique_ptr<Record> record;
    std::wstring name;
    if (named) {
        name = Wide("Local\\vq-progress-reader-" + std::to_string(GetCurrentProcessId()));
        record = std::make_unique<Record>(name);
        command_line += L" -progress-name " + name;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    if (!CreateProcessW(argv[first], command_line.data(), nullptr, nullptr, FALSE, named ? 0 : CREATE_SUSPENDED,
                        nullptr, nullptr, &startup, &child)) {
        std::fprintf(stderr, "cannot start the encoder: error %lu\n", GetLastError());
        return 2;
    }
    Handle process{child.hProcess};
    Handle thread{child.hThread};
    if (!named) {
        name = Wide(trancor::ProgressRecordName(child.dwProcessId));
        record = std::make_unique<Record>(name);
        ResumeThread(thread.h);
    }
    trancor::ProgressRecord* view = record->get();
    if (!view) {
        std::fprintf(stderr, "cannot make the record: error %lu\n", GetLastError());
        TerminateProcess(process.h, 1);
        return 2;
    }

    int samples = 0;
    bool monotonic = true;
    std::set<int64_t> done_values, durations;
    trancor::ProgressSnapshot last, snapshot;
    while (WaitForSingleObject(process.h, 10) == WAIT_TIMEOUT) {
        if (!trancor::ReadProgress(*view, snapshot)) continue;
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
    if (trancor::ReadProgress(*view, snapshot))
        std::printf("state=%u\nreason=%u\ndone_us=%lld\nduration_us=%lld\nframes=%lld\nmessage=%s\n",
                    static_cast<unsigned>(snapshot.state), static_cast<unsigned>(snapshot.reason),
                    static_cast<long long>(snapshot.done_us), static_cast<long long>(snapshot.duration_us),
                    static_cast<long long>(snapshot.frames), snapshot.message);
    record.reset();
    std::printf("reopened_after_close=%d\n", Opens(name) ? 1 : 0);
    return 0;
}
