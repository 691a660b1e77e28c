#include "win32_disk_space.h"

#include <windows.h>

#include "unique_handle.h"
#include "win32_process.h"

namespace {

// CreateProcess takes at most 32767 characters; room is left for the
// encoder's path.
constexpr size_t kCommandLineBudget = 30000;

// A temporary file, deleted when this goes.
class TemporaryFile {
public:
    TemporaryFile() {
        char folder[MAX_PATH + 1] = {};
        char name[MAX_PATH + 1] = {};
        if (GetTempPathA(sizeof folder, folder) && GetTempFileNameA(folder, "vql", 0, name)) path_ = name;
    }
    ~TemporaryFile() {
        if (!path_.empty()) DeleteFileA(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

std::string ReadWhole(const std::string& path) {
    UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string text;
    if (!file) return text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
    return text;
}

}  // namespace

bool Win32DiskSpace::VolumeOf(const std::string& folder, std::string& volume) {
    char full[MAX_PATH * 4] = {};
    char root[MAX_PATH * 4] = {};
    const DWORD length = GetFullPathNameA(folder.c_str(), sizeof full, full, nullptr);
    if (length == 0 || length >= sizeof full) return false;
    if (!GetVolumePathNameA(full, root, sizeof root)) return false;
    volume = root;
    return true;
}

bool Win32DiskSpace::FreeBytes(const std::string& volume, uint64_t& bytes) {
    ULARGE_INTEGER available{};
    if (!GetDiskFreeSpaceExA(volume.c_str(), &available, nullptr, nullptr)) return false;
    bytes = available.QuadPart;
    return true;
}

std::vector<int64_t> EncoderLengthProbe::Lengths(const std::vector<std::string>& sources) {
    std::vector<int64_t> lengths;
    std::vector<std::string> run;
    size_t budget = 0;
    for (const std::string& source : sources) {
        if (!run.empty() && budget + source.size() + 3 > kCommandLineBudget) {
            for (int64_t length : LengthsOfOneRun(run)) lengths.push_back(length);
            run.clear();
            budget = 0;
        }
        run.push_back(source);
        budget += source.size() + 3;
    }
    if (!run.empty())
        for (int64_t length : LengthsOfOneRun(run)) lengths.push_back(length);
    return lengths;
}

std::vector<int64_t> EncoderLengthProbe::LengthsOfOneRun(const std::vector<std::string>& sources) {
    TemporaryFile output;
    if (output.Path().empty() || encoderPath_.empty()) return std::vector<int64_t>(sources.size(), -1);
    // Quoted as the conversions' command line quotes it.
    std::string command = encoderPath_.find(' ') == std::string::npos ? encoderPath_ : "\"" + encoderPath_ + "\"";
    command += " -probe";
    for (const std::string& source : sources) command += " \"" + source + "\"";
    Win32ProcessLauncher launcher;
    std::unique_ptr<EncoderRun> run = launcher.StartWithOutput(command, nullptr, output.Path());
    if (!run) return std::vector<int64_t>(sources.size(), -1);
    if (!run->WaitFor(kProbeTimeoutMs)) {
        run->Terminate();
        run->Wait();
        return std::vector<int64_t>(sources.size(), -1);
    }
    return ParseProbeOutput(ReadWhole(output.Path()), sources.size());
}
