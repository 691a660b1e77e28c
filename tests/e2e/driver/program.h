#pragma once
// Starting the program under test in a folder of its own, putting an encoder
// in place for it, and looking at what it leaves behind (Config.ini, files).
// Paths are Windows paths in UTF-8 (Z:\... under Wine); Unix paths from the
// build system go through WindowsPath first.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

// A Unix path as Wine's Windows side names it ("/a/b" -> "Z:\a\b"); a path
// that is already a Windows path is returned unchanged.
std::string WindowsPath(const std::string& path);
std::string JoinPath(const std::string& folder, const std::string& name);
// The path in environment variable `name` (read as UTF-16, so Chinese names
// survive) as a Windows path; empty when it is not set.
std::string PathFromEnvironment(const wchar_t* name);

// File system helpers (UTF-8 Windows paths).
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
// Removes `folder` with everything in it (when it exists), then creates it.
void MakeEmptyFolder(const std::string& folder);
void CopyOrThrow(const std::string& from, const std::string& to);
void WriteTextFile(const std::string& path, const std::string& utf8Text);  // written in the system code page
std::string ReadTextFile(const std::string& path);                          // returned as UTF-8
unsigned long long FileSize(const std::string& path);
// The first `bytes` bytes of a file (fewer when it is shorter; none when missing).
std::string ReadFileStart(const std::string& path, size_t bytes);

// The system folder (C:\windows\system32) and the encoder's names in it.
std::string SystemFolder();
// Puts `encoderExe` into the system folder as "trancor1.dll", the installed
// name the program renames at start; an earlier "trancor.exe" or
// "trancor1.dll" there is removed first. Tests that install an encoder must
// not run at the same time (CTest RESOURCE_LOCK vidquill_gui).
void InstallEncoderForProgram(const std::string& encoderExe);

// A value of an ini file, as the system's private-profile functions read it
// ("<missing>" when the key is not there).
std::string ReadIni(const std::string& path, const std::string& section, const std::string& key);

// A started process; killed when the object goes and it still runs.
class Program {
public:
    Program() = default;
    // Starts `exe` with `folder` as its current folder.
    Program(const std::string& exe, const std::string& folder);
    Program(Program&& other) noexcept;
    Program& operator=(Program&& other) noexcept;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    ~Program();

    DWORD Pid() const { return pid_; }
    bool Running() const;
    // Waits for the process to end; false on time-out.
    bool WaitForExit(int ms, DWORD* exitCode = nullptr);
    void Kill();

private:
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
};

// A screenshot of the whole screen as a PNG file (for people to look at).
bool SaveScreenshot(const std::string& pngPath);
// The screen's pixels (0x00RRGGBB) in `area`, row by row; empty on failure.
std::vector<uint32_t> ScreenPixels(const RECT& area);

}  // namespace e2e
