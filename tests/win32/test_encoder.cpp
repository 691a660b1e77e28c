// A stand-in for the encoder, for the process tests under Wine. It behaves
// as the real one does towards the program (writes "<target>.part" beside the
// target given after -y and moves it onto the target at the end) and reports
// how it was started. Its behaviour comes from the environment variable
// VQ_TEST_ENCODER_<target's file name>, or else VQ_TEST_ENCODER, a list of
// key=value pairs separated by ';':
//   record=<file>    write what it saw (see below) to this file first
//   inherit=<number> an inherited event handle to set (proves inheritance)
//   write=1          write the target through "<target>.part"
//   ready=<name>     set this named event once the ".part" file exists
//   hold=<name>      then wait for this named event (at most a minute)
//   spin=1           ...busy, using the processor all the while
//   exit=<code>      exit code (default 0)
//   say=<text>       write "<text>" to stdout and "err <text>" to stderr
// and publishes progress as trancor does (trancor_progress.h) when asked:
//   publish=<ms>     set up the record first thing, the source's length in
//                    ms (-1: unknown)
//   steps=<ms>,...   media time done, published one after another before
//                    "ready", `pace` ms apart (pace=<ms>, default 100)
//   reason=<code>    end as a failure with this reason code and
//   message=<text>   this detail
// A run that ends with exit code 0 publishes its success.
// "-probe FILE..." (the program's question for the sources' lengths) is
// answered as for files of unknown length, "-1" a line, and nothing else
// is done: a probe must not set a test's events.
// The record holds one line each: the command line as received, then
// "flags=<STARTUPINFO.dwFlags> show=<wShowWindow>", "console=<0|1>" (its
// output is a console of its own), "visible=<0|1>" (that console's window
// shows on screen), "cwd=<current folder>", "inherited=<0|1>".
#include <windows.h>

#include <memory>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "trancor_progress.h"

namespace {

std::map<std::string, std::string> Options(const std::string& target) {
    std::map<std::string, std::string> options;
    const std::string name = target.substr(target.find_last_of('\\') + 1);
    const char* text = std::getenv(("VQ_TEST_ENCODER_" + name).c_str());
    if (!text) text = std::getenv("VQ_TEST_ENCODER");
    std::string rest = text ? text : "";
    while (!rest.empty()) {
        const size_t end = rest.find(';');
        const std::string item = rest.substr(0, end);
        const size_t eq = item.find('=');
        if (eq != std::string::npos) options[item.substr(0, eq)] = item.substr(eq + 1);
        rest = end == std::string::npos ? "" : rest.substr(end + 1);
    }
    return options;
}

void SetNamedEvent(const std::string& name) {
    HANDLE event = OpenEventA(EVENT_MODIFY_STATE, FALSE, name.c_str());
    if (!event) return;
    SetEvent(event);
    CloseHandle(event);
}

// The writer's side of the record: every change between two increments of
// the sequence, odd while it is under way.
class Publisher {
public:
    explicit Publisher(int64_t durationMs) {
        const std::string name = trancor::ProgressRecordName(GetCurrentProcessId());
        section_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, trancor::kProgressSize,
                                      name.c_str());
        if (!section_) return;
        record_ = static_cast<trancor::ProgressRecord*>(
            MapViewOfFile(section_, FILE_MAP_ALL_ACCESS, 0, 0, trancor::kProgressSize));
        if (!record_) return;
        record_->version.store(trancor::kProgressVersion);
        record_->duration_us.store(durationMs < 0 ? -1 : durationMs * 1000);
        record_->magic.store(trancor::kProgressMagic, std::memory_order_release);
    }
    ~Publisher() {
        if (record_) UnmapViewOfFile(record_);
        if (section_) CloseHandle(section_);
    }
    void Done(int64_t ms) {
        Write([&] { record_->done_us.store(ms * 1000, std::memory_order_relaxed); });
    }
    void Fail(uint32_t reason, const std::string& message) {
        Write([&] {
            std::snprintf(record_->message, sizeof record_->message, "%s", message.c_str());
            record_->reason.store(reason, std::memory_order_relaxed);
            record_->state.store(static_cast<uint32_t>(trancor::RunState::Failed), std::memory_order_relaxed);
        });
    }
    void Succeed() {
        Write([&] { record_->state.store(static_cast<uint32_t>(trancor::RunState::Succeeded), std::memory_order_relaxed); });
    }

private:
    template <typename Change>
    void Write(Change change) {
        if (!record_) return;
        record_->sequence.fetch_add(1, std::memory_order_acq_rel);
        change();
        record_->sequence.fetch_add(1, std::memory_order_release);
    }
    HANDLE section_ = nullptr;
    trancor::ProgressRecord* record_ = nullptr;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "-probe") {
        for (int i = 2; i < argc; ++i) std::printf("-1\n");
        return 0;
    }
    std::string target;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string(argv[i]) == "-y") target = argv[i + 1];
    auto options = Options(target);
    std::unique_ptr<Publisher> publisher;
    if (options.count("publish")) publisher = std::make_unique<Publisher>(std::atoll(options["publish"].c_str()));

    bool inherited = false;
    if (options.count("inherit")) {
        const auto number = std::strtoull(options["inherit"].c_str(), nullptr, 10);
        auto handle = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(number));
        inherited = SetEvent(handle) != FALSE;
    }

    if (options.count("record")) {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        GetStartupInfoA(&startup);
        DWORD mode = 0;
        const bool console = GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != FALSE;
        HWND consoleWindow = GetConsoleWindow();
        const bool visible = consoleWindow && IsWindowVisible(consoleWindow);
        char cwd[MAX_PATH] = {};
        GetCurrentDirectoryA(MAX_PATH, cwd);
        std::ofstream record(options["record"], std::ios::binary);
        record << GetCommandLineA() << "\n"
               << "flags=" << startup.dwFlags << " show=" << startup.wShowWindow << "\n"
               << "console=" << (console ? 1 : 0) << "\n"
               << "visible=" << (visible ? 1 : 0) << "\n"
               << "cwd=" << cwd << "\n"
               << "inherited=" << (inherited ? 1 : 0) << "\n";
    }

    const bool write = options["write"] == "1" && !target.empty();
    const std::string part = target + ".part";
    if (write) std::ofstream(part, std::ios::binary) << "half";

    if (publisher && options.count("steps")) {
        const int pace = options.count("pace") ? std::atoi(options["pace"].c_str()) : 100;
        std::istringstream steps(options["steps"]);
        std::string step;
        while (std::getline(steps, step, ',')) {
            publisher->Done(std::atoll(step.c_str()));
            Sleep(static_cast<DWORD>(pace));
        }
    }

    if (options.count("say")) {
        std::fprintf(stdout, "%s\n", options["say"].c_str());
        std::fflush(stdout);
        std::fprintf(stderr, "err %s\n", options["say"].c_str());
    }

    if (options.count("ready")) SetNamedEvent(options["ready"]);
    if (options.count("hold")) {
        HANDLE hold = OpenEventA(SYNCHRONIZE, FALSE, options["hold"].c_str());
        if (hold && options["spin"] == "1") {
            const ULONGLONG deadline = GetTickCount64() + 60000;
            while (WaitForSingleObject(hold, 0) == WAIT_TIMEOUT && GetTickCount64() < deadline) {
            }
            CloseHandle(hold);
        } else if (hold) {
            WaitForSingleObject(hold, 60000);
            CloseHandle(hold);
        }
    }

    if (write) {
        std::ofstream(part, std::ios::binary | std::ios::app) << " and whole";
        MoveFileExA(part.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    const int exitCode = options.count("exit") ? std::atoi(options["exit"].c_str()) : 0;
    if (publisher && options.count("reason"))
        publisher->Fail(static_cast<uint32_t>(std::atoi(options["reason"].c_str())), options["message"]);
    else if (publisher && exitCode == 0)
        publisher->Succeed();
    return exitCode;
}
