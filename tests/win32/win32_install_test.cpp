// The encoder installation on real files, in a temporary folder standing in
// for the system folder, and the shell's report of the real one.
#include <gtest/gtest.h>

#include <algorithm>

#include "../test_folder.h"
#include "codepage.h"
#include "install_encoder.h"
#include "process_state.h"
#include "win32/win32_files.h"
#include "win32_test_support.h"

namespace {

class Win32InstallEncoder : public ::testing::Test {
protected:
    void SetUp() override {
        // A system folder whose name is not plain ASCII.
        system = folder.Path("sys") + "\\" + SysText("系统");
        CreateDirectoryA(folder.Path("sys").c_str(), nullptr);
        CreateDirectoryA(system.c_str(), nullptr);
    }
    std::string In(const char* name) const { return system + "\\" + name; }
    void Write(const char* name, const std::string& content) const { WriteAt(In(name), content); }
    static void WriteAt(const std::string& path, const std::string& content) {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
        UniqueHandle owner(file);
        DWORD written = 0;
        WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    }
    std::string Read(const char* name) const { return ReadWholeFile(In(name)); }
    bool Exists(const char* name) const { return FileExists(In(name)); }

    TestFolder folder;
    std::string system;
};

TEST_F(Win32InstallEncoder, FreshInstallationGetsItsWorkingNames) {
    Write("trancor1.dll", "exe");
    Write("trancor2.dll", "pthread");
    Write("trancor3.dll", "avs");
    Win32SystemFiles files(system);
    InstallEncoder(files, "");
    EXPECT_EQ(Read("trancor.exe"), "exe");
    EXPECT_EQ(Read("pthreadGC2.dll"), "pthread");
    EXPECT_EQ(Read("AVSredirect.dll"), "avs");
    EXPECT_FALSE(Exists("trancor1.dll"));
    EXPECT_FALSE(Exists("trancor2.dll"));
    EXPECT_FALSE(Exists("trancor3.dll"));
    EXPECT_EQ(EncoderPath, system + "\\trancor.exe");
}

TEST_F(Win32InstallEncoder, ReinstallationLeavesBothVersionsWhereTheyAre) {
    for (const char* name : {"trancor1.dll", "trancor2.dll", "trancor3.dll"}) Write(name, "new");
    for (const char* name : {"trancor.exe", "pthreadGC2.dll", "AVSredirect.dll"}) Write(name, "old");
    Win32SystemFiles files(system);
    InstallEncoder(files, "");
    for (const char* name : {"trancor1.dll", "trancor2.dll", "trancor3.dll"}) EXPECT_EQ(Read(name), "new") << name;
    for (const char* name : {"trancor.exe", "pthreadGC2.dll", "AVSredirect.dll"}) EXPECT_EQ(Read(name), "old") << name;
}

TEST_F(Win32InstallEncoder, TheProgramFoldersEncoderOnlyWhenTheSystemFolderHasNone) {
    // An unpacked program: a folder name with a space and Chinese text.
    const std::string program = InFolder(folder, SysText("便携 程序"));
    CreateDirectoryA(program.c_str(), nullptr);
    const std::string beside = program + "\\trancor.exe";
    Win32SystemFiles files(system);

    // A folder of that name is no encoder.
    CreateDirectoryA(beside.c_str(), nullptr);
    InstallEncoder(files, program);
    EXPECT_EQ(EncoderPath, system + "\\trancor.exe");
    EXPECT_EQ(EncoderNotFoundAt, (std::vector<std::string>{system + "\\trancor.exe", beside}));
    EXPECT_FALSE(Exists("trancor.exe"));

    RemoveDirectoryA(beside.c_str());
    WriteAt(beside, "beside");
    InstallEncoder(files, program);
    EXPECT_EQ(EncoderPath, beside);
    EXPECT_TRUE(EncoderNotFoundAt.empty());
}

TEST(Win32SystemFolder, IsTheShellsSystemFolderWithoutATrailingBackslash) {
    const std::string folder = Win32SystemFiles().SystemFolder();
    ASSERT_GT(folder.size(), 9u);
    std::string tail = folder.substr(folder.size() - 9);
    std::transform(tail.begin(), tail.end(), tail.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    EXPECT_EQ(tail, "\\system32");
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace
