#include "program.h"

#include <shellapi.h>

#include <stdexcept>
#include <utility>

#include "gui_driver.h"

namespace e2e {

namespace {

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), w.data(), n);
    return w;
}

std::string Utf8(const std::wstring& w) {
    if (w.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

}  // namespace

std::string WindowsPath(const std::string& path) {
    if (path.empty() || path[0] != '/') return path;
    // Wine's own mapping when it offers one, else the Z: drive every
    // prefix has for the Unix root.
    using DosName = WCHAR* (CDECL*)(const char*);
    auto dosName = reinterpret_cast<DosName>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_dos_file_name"));
    if (dosName) {
        if (WCHAR* name = dosName(path.c_str())) {
            std::string result = Utf8(name);
            HeapFree(GetProcessHeap(), 0, name);
            return result;
        }
    }
    std::string result = "Z:" + path;
    for (char& c : result) {
        if (c == '/') c = '\\';
    }
    return result;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty() || folder.back() == '\\') return folder + name;
    return folder + "\\" + name;
}

std::string PathFromEnvironment(const wchar_t* name) {
    wchar_t value[2048] = {};
    const DWORD n = GetEnvironmentVariableW(name, value, 2048);
    return n > 0 && n < 2048 ? WindowsPath(Utf8(value)) : std::string();
}

bool FileExists(const std::string& path) {
    DWORD a = GetFileAttributesW(Wide(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path) {
    DWORD a = GetFileAttributesW(Wide(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

void MakeEmptyFolder(const std::string& folder) {
    if (DirectoryExists(folder)) {
        std::wstring from = Wide(folder);
        from.push_back(L'\0');  // the list ends with two zeros
        SHFILEOPSTRUCTW op{};
        op.wFunc = FO_DELETE;
        op.pFrom = from.c_str();
        op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
        SHFileOperationW(&op);
    }
    // Create every missing level.
    for (size_t i = 3; i <= folder.size(); ++i) {
        if (i == folder.size() || folder[i] == '\\') CreateDirectoryW(Wide(folder.substr(0, i)).c_str(), nullptr);
    }
    if (!DirectoryExists(folder)) throw std::runtime_error("cannot create " + folder);
}

void CopyOrThrow(const std::string& from, const std::string& to) {
    if (!CopyFileW(Wide(from).c_str(), Wide(to).c_str(), FALSE)) {
        throw std::runtime_error("cannot copy " + from + " to " + to);
    }
}

void WriteTextFile(const std::string& path, const std::string& utf8Text) {
    std::string bytes = ToSystem(utf8Text);
    HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot write " + path);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::string ReadTextFile(const std::string& path) {
    HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    CloseHandle(file);
    return ToUtf8(bytes);
}

unsigned long long FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string ReadFileStart(const std::string& path, size_t bytes) {
    HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string data(bytes, '\0');
    DWORD got = 0;
    if (!ReadFile(file, data.data(), static_cast<DWORD>(bytes), &got, nullptr)) got = 0;
    CloseHandle(file);
    data.resize(got);
    return data;
}

std::string SystemFolder() {
    wchar_t folder[MAX_PATH] = {};
    GetSystemDirectoryW(folder, MAX_PATH);
    return Utf8(folder);
}

void InstallEncoderForProgram(const std::string& encoderExe) {
    std::string system = SystemFolder();
    DeleteFileW(Wide(JoinPath(system, "trancor.exe")).c_str());
    DeleteFileW(Wide(JoinPath(system, "trancor1.dll")).c_str());
    CopyOrThrow(encoderExe, JoinPath(system, "trancor1.dll"));
}

std::string ReadIni(const std::string& path, const std::string& section, const std::string& key) {
    char value[4096] = {};
    GetPrivateProfileStringA(ToSystem(section).c_str(), ToSystem(key).c_str(), "<missing>", value,
                             sizeof value, ToSystem(path).c_str());
    return ToUtf8(value);
}

Program::Program(const std::string& exe, const std::string& folder) {
    std::string commandLine = "\"" + ToSystem(exe) + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        ToSystem(folder).c_str(), &startup, &info)) {
        throw std::runtime_error("cannot start " + exe);
    }
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    pid_ = info.dwProcessId;
}

Program::Program(Program&& other) noexcept
    : process_(std::exchange(other.process_, nullptr)), pid_(std::exchange(other.pid_, 0)) {}

Program& Program::operator=(Program&& other) noexcept {
    if (this != &other) {
        Kill();
        process_ = std::exchange(other.process_, nullptr);
        pid_ = std::exchange(other.pid_, 0);
    }
    return *this;
}

Program::~Program() { Kill(); }

bool Program::Running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

bool Program::WaitForExit(int ms, DWORD* exitCode) {
    if (!process_) return false;
    if (WaitForSingleObject(process_, static_cast<DWORD>(ms)) != WAIT_OBJECT_0) return false;
    if (exitCode) GetExitCodeProcess(process_, exitCode);
    return true;
}

void Program::Kill() {
    if (!process_) return;
    if (Running()) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
    process_ = nullptr;
}

}  // namespace e2e
