// The batch benchmark's driver (run by bench/batch-bench, which makes the
// clips): the program converts clip1.avi .. clip3.avi through its own window,
// driven as the end-to-end tests drive it, from the click on Start until the
// end message shows; then trancor.exe converts the same clips directly, with
// the program's command lines, started as the program starts it. The two
// alternate for a number of runs. Prints both wall times per run and their
// medians, the overhead per file, and the bar's highest position while each
// file's encoder ran; then twenty sources that fail at once, and the time
// per failed row. A measurement, not a test.
//     e2e_batch_bench.exe TRANCOR.exe CLIPS_FOLDER [RUNS]
// With "at-once" the program alone converts clip1.avi .. clip6.avi under
// each "Simultaneous" value given, the values alternating within each run;
// prints each batch's wall time, the medians and their ratio against the
// first value:
//     e2e_batch_bench.exe TRANCOR.exe CLIPS_FOLDER RUNS at-once 0,1,4
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "batch_watch.h"
#include "codepage.h"
#include "control_ids.h"
#include "driver/gui_driver.h"
#include "driver/program.h"
#include "encoder_command.h"
#include "number_text.h"
#include "progress_text.h"
#include "settings_store.h"
#include "win32/win32_process.h"

namespace {

const std::vector<std::string> kClips{"clip1.avi", "clip2.avi", "clip3.avi"};
const std::vector<std::string> kSixClips{"clip1.avi", "clip2.avi", "clip3.avi",
                                         "clip4.avi", "clip5.avi", "clip6.avi"};

double Seconds() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The settings the program is given in Config.ini: the defaults, which a
// first start begins with, and the bench's output folder.
ConversionSettings BenchSettings(const std::string& out, int32_t simultaneous = 0) {
    ConversionSettings settings = DefaultSettings();
    settings.Output = out;
    settings.Simultaneous = simultaneous;
    return settings;
}

void WriteConfig(const std::string& folder, const ConversionSettings& settings) {
    const std::string config = e2e::ToSystem(e2e::JoinPath(folder, "Config.ini"));
    std::unique_ptr<IniFile> ini = MakeSystemIniFile();
    SaveSettings(*ini, config, settings);
    WriteOutput(*ini, config, settings.Output);
}

struct ProgramRun {
    double seconds = -1;
    std::vector<int> highestBar;
    // The program's own time: from the click to the first encoder, between
    // encoders, and from the last one's exit to the end message.
    double ownSeconds = -1;
};

double OwnTime(double clickS, double endS, const std::vector<e2e::EncoderLife>& encoders) {
    if (encoders.empty()) return -1;
    double own = encoders.front().createdS - clickS + endS - encoders.back().exitedS;
    for (size_t i = 1; i < encoders.size(); ++i) own += encoders[i].createdS - encoders[i - 1].exitedS;
    return own;
}

// `oneAtATime`: the rows convert one after another, so the watch need not
// read the list and costs the machine less.
ProgramRun RunProgram(const std::string& folder, const std::string& clips,
                      const std::vector<std::string>& names = kClips, bool oneAtATime = true) {
    const int rows = static_cast<int>(names.size());
    ProgramRun run;
    e2e::Program program(e2e::JoinPath(folder, "Vidquill.exe"), folder);
    HWND form = e2e::WaitForWindow(program.Pid(), VQ_CLASS_MAIN_WINDOW, "", 30000);
    if (!form) return run;
    e2e::Click(e2e::Control(form, IDC_ADD_FILES));
    if (!e2e::ChooseFilesInOpenDialog(program.Pid(), clips, names)) return run;
    HWND list = e2e::Control(form, IDC_JOB_LIST);
    if (!e2e::WaitUntil([&] { return e2e::ListRowCount(list) == rows; })) return run;

    const double clickS = e2e::SystemClockSeconds();
    const double start = Seconds();
    e2e::Click(e2e::Control(form, IDC_START));
    e2e::BatchWatch watch =
        e2e::WatchBatch(program.Pid(), oneAtATime ? nullptr : list, rows, "trancor.exe", nullptr, 1800000);
    const double end = Seconds();
    const double endS = e2e::SystemClockSeconds();
    if (!watch.endMessage.window) return run;
    run.seconds = end - start;
    run.highestBar = watch.highestBar;
    if (watch.encoders.size() == names.size()) run.ownSeconds = OwnTime(clickS, endS, watch.encoders);
    e2e::PressOk(watch.endMessage);
    HWND output = e2e::WaitForWindow(program.Pid(), VQ_CLASS_PROGRESS_WINDOW);
    if (output) e2e::Click(e2e::Control(output, IDC_PROGRESS_CANCEL));
    e2e::WaitForWindowGone(program.Pid(), VQ_CLASS_PROGRESS_WINDOW);
    e2e::Click(e2e::Control(form, IDC_CLOSE));
    program.WaitForExit(20000);
    return run;
}

// Twenty sources the encoder refuses at once (text files named .avi): the
// program's time from the click on Start until the end message, per row.
double RunFailing(const std::string& folder) {
    const std::string sources = e2e::JoinPath(folder, "not-videos");
    e2e::MakeEmptyFolder(sources);
    std::vector<std::string> names;
    for (int i = 0; i < 20; ++i) {
        names.push_back("note" + std::to_string(i) + ".avi");
        e2e::WriteTextFile(e2e::JoinPath(sources, names.back()), "not a video\r\n");
    }
    e2e::Program program(e2e::JoinPath(folder, "Vidquill.exe"), folder);
    HWND form = e2e::WaitForWindow(program.Pid(), VQ_CLASS_MAIN_WINDOW, "", 30000);
    if (!form) return -1;
    e2e::Click(e2e::Control(form, IDC_ADD_FILES));
    if (!e2e::ChooseFilesInOpenDialog(program.Pid(), sources, names)) return -1;
    HWND list = e2e::Control(form, IDC_JOB_LIST);
    if (!e2e::WaitUntil([&] { return e2e::ListRowCount(list) == 20; })) return -1;
    const double start = Seconds();
    e2e::Click(e2e::Control(form, IDC_START));
    e2e::MessageBoxInfo box = e2e::WaitForMessageBox(program.Pid(), 600000);
    const double end = Seconds();
    if (!box.window) return -1;
    e2e::PressOk(box);
    HWND output = e2e::WaitForWindow(program.Pid(), VQ_CLASS_PROGRESS_WINDOW);
    if (output) e2e::Click(e2e::Control(output, IDC_PROGRESS_CANCEL));
    e2e::WaitForWindowGone(program.Pid(), VQ_CLASS_PROGRESS_WINDOW);
    e2e::Click(e2e::Control(form, IDC_CLOSE));
    program.WaitForExit(20000);
    return (end - start) / 20;
}

// The three clips one after another, started as the program starts them.
double RunDirect(const std::string& clips, const std::string& out) {
    const ConversionSettings settings = BenchSettings(e2e::ToSystem(out));
    const std::string encoder = e2e::ToSystem(e2e::JoinPath(e2e::SystemFolder(), "trancor.exe"));
    Win32ProcessLauncher launcher;
    const double start = Seconds();
    int32_t number = 40000;
    for (const std::string& clip : kClips) {
        ConversionJob job{e2e::ToSystem(e2e::JoinPath(clips, clip)), MakeTargetPath(settings.Output, number++), "", ""};
        auto run = launcher.Start(BuildEncoderCommand(job, settings, encoder), {});
        if (!run) return -1;
        run->Wait();
    }
    return Seconds() - start;
}

// Six clips under each value of "Simultaneous", alternating within a run.
int RunAtOnce(const std::string& folder, const std::string& clips, const std::string& out, int runs,
              const std::vector<int32_t>& values) {
    std::vector<std::vector<double>> times(values.size());
    for (int run = 1; run <= runs; ++run) {
        std::printf("run %d:", run);
        for (size_t i = 0; i < values.size(); ++i) {
            WriteConfig(folder, BenchSettings(e2e::ToSystem(out), values[i]));
            const ProgramRun program = RunProgram(folder, clips, kSixClips, /*oneAtATime=*/false);
            if (program.seconds < 0) {
                std::printf("\nthe batch with Simultaneous=%d did not complete\n", values[i]);
                return 1;
            }
            times[i].push_back(program.seconds);
            std::printf(" Simultaneous=%d %.2f s;", values[i], program.seconds);
            std::fflush(stdout);
        }
        std::printf("\n");
    }
    const double first = Median(times[0]);
    for (size_t i = 0; i < values.size(); ++i) {
        const double median = Median(times[i]);
        std::printf("Simultaneous=%d: %d rows at once here, median %.2f s of %d runs, ratio %.2f against Simultaneous=%d\n",
                    values[i], RowsAtOnce(BenchSettings("", values[i]), static_cast<int32_t>(std::thread::hardware_concurrency())),
                    median, runs, median / first, values[0]);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::printf("usage: e2e_batch_bench TRANCOR.exe CLIPS_FOLDER [RUNS]\n");
        return 2;
    }
    const std::string trancor = e2e::WindowsPath(argv[1]);
    const std::string clips = e2e::WindowsPath(argv[2]);
    const int runs = argc > 3 ? std::max(0, std::atoi(argv[3])) : 3;  // 0: the failing sources only
    RefreshDecimalMark();

    const std::string folder = e2e::JoinPath(e2e::WindowsPath(VQ_E2E_WORK), "batch-bench");
    e2e::MakeEmptyFolder(folder);
    const std::string out = e2e::JoinPath(folder, "out");
    e2e::MakeEmptyFolder(out);
    e2e::CopyOrThrow(e2e::WindowsPath(VQ_E2E_PROGRAM), e2e::JoinPath(folder, "Vidquill.exe"));
    WriteConfig(folder, BenchSettings(e2e::ToSystem(out)));
    e2e::InstallEncoderForProgram(trancor);
    if (argc > 5 && std::string(argv[4]) == "at-once") {
        std::vector<int32_t> values;
        char* next = argv[5];
        for (char* end = next;; next = end + 1) {
            values.push_back(static_cast<int32_t>(std::strtol(next, &end, 10)));
            if (end == next || *end != ',') break;
        }
        return RunAtOnce(folder, clips, out, std::max(1, runs), values);
    }

    std::vector<double> programTimes, directTimes, overheads, ownTimes;
    for (int run = 1; run <= runs; ++run) {
        const ProgramRun program = RunProgram(folder, clips);
        if (program.seconds < 0) {
            std::printf("run %d: the program's batch did not complete\n", run);
            return 1;
        }
        std::printf("run %d: program %.2f s, of it %.2f s its own (before, between and after the encoders)\n", run,
                    program.seconds, program.ownSeconds);
        std::fflush(stdout);
        const double direct = RunDirect(clips, out);
        if (direct < 0) {
            std::printf("run %d: trancor.exe could not be started\n", run);
            return 1;
        }
        programTimes.push_back(program.seconds);
        directTimes.push_back(direct);
        overheads.push_back((program.seconds - direct) / 3);
        ownTimes.push_back(program.ownSeconds / 3);
        std::printf("run %d: direct %.2f s, overhead per file %.2f s, of it the program's own %.2f s; "
                    "highest bar per file", run, direct, (program.seconds - direct) / 3, program.ownSeconds / 3);
        for (int bar : program.highestBar) std::printf(" %d", bar);
        std::printf("\n");
        std::fflush(stdout);
    }
    const double perFailedRow = RunFailing(folder);
    if (perFailedRow < 0) {
        std::printf("the batch of twenty failing sources did not complete\n");
        return 1;
    }
    std::printf("twenty sources that fail at once: %.2f s per failed row (goal <= 0.5 s)\n", perFailedRow);
    if (runs == 0) return 0;
    const double program = Median(programTimes), direct = Median(directTimes);
    // The overhead of each run against the direct conversions right after
    // it: a change of the machine's load between runs cancels out. The
    // program's own time (the finished bar's designed climb included) is
    // the system's record of when its encoders started and exited; the rest
    // of the overhead is the encoders' own runs taking longer beside the
    // program's windows (and this driver).
    std::printf("median of %d runs: program %.2f s, direct %.2f s, ratio %.2f, overhead per file %.2f s, "
                "the program's own time per file %.2f s (goal <= 0.3 s)\n",
                runs, program, direct, program / direct, Median(overheads), Median(ownTimes));
    return 0;
}
