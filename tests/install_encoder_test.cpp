#include <gtest/gtest.h>

#include "install_encoder.h"
#include "process_state.h"
#include "worker_fakes.h"

namespace {

using Names = std::vector<std::string>;

const char kProgram[] = "D:\\Vidquill 1";

const Names kExpectedRenames = {"C:\\sys\\trancor1.dll>C:\\sys\\trancor.exe",
                                "C:\\sys\\trancor2.dll>C:\\sys\\pthreadGC2.dll",
                                "C:\\sys\\trancor3.dll>C:\\sys\\AVSredirect.dll"};

TEST(InstallEncoder, FreshInstallationGetsItsWorkingNamesInOrder) {
    FakeFiles files;
    files.files = {{"C:\\sys\\trancor1.dll", "exe"}, {"C:\\sys\\trancor2.dll", "pthread"},
                   {"C:\\sys\\trancor3.dll", "avs"}};
    EncoderPath.clear();
    InstallEncoder(files, kProgram);
    EXPECT_EQ(files.renames, kExpectedRenames);
    EXPECT_EQ(files.files, (std::map<std::string, std::string>{{"C:\\sys\\trancor.exe", "exe"},
                                                               {"C:\\sys\\pthreadGC2.dll", "pthread"},
                                                               {"C:\\sys\\AVSredirect.dll", "avs"}}));
    EXPECT_EQ(EncoderPath, "C:\\sys\\trancor.exe");
}

TEST(InstallEncoder, ReinstallationKeepsTheOldWorkingFiles) {
    FakeFiles files;
    files.files = {{"C:\\sys\\trancor1.dll", "new exe"}, {"C:\\sys\\trancor.exe", "old exe"},
                   {"C:\\sys\\trancor2.dll", "new pthread"}, {"C:\\sys\\pthreadGC2.dll", "old pthread"},
                   {"C:\\sys\\trancor3.dll", "avs"}};
    auto before = files.files;
    before.erase("C:\\sys\\trancor3.dll");
    before["C:\\sys\\AVSredirect.dll"] = "avs";  // the one working name still missing is filled in
    InstallEncoder(files, kProgram);
    EXPECT_EQ(files.renames, kExpectedRenames);
    EXPECT_EQ(files.files, before);
    EXPECT_EQ(EncoderPath, "C:\\sys\\trancor.exe");
}

TEST(InstallEncoder, NothingInstalledStillSetsTheEncoderPath) {
    FakeFiles files;
    EncoderPath.clear();
    InstallEncoder(files, kProgram);
    EXPECT_TRUE(files.files.empty());
    EXPECT_EQ(EncoderPath, "C:\\sys\\trancor.exe");
    EXPECT_EQ(EncoderNotFoundAt, (Names{"C:\\sys\\trancor.exe", "D:\\Vidquill 1\\trancor.exe"}));
}

TEST(InstallEncoder, TheProgramFoldersEncoderOnlyWhenTheSystemFolderHasNone) {
    FakeFiles files;
    files.files = {{"D:\\Vidquill 1\\trancor.exe", "beside"}};
    InstallEncoder(files, kProgram);
    EXPECT_EQ(EncoderPath, "D:\\Vidquill 1\\trancor.exe");
    EXPECT_TRUE(EncoderNotFoundAt.empty());

    // The designed installation wins, renamed first.
    files.files["C:\\sys\\trancor1.dll"] = "installed";
    InstallEncoder(files, kProgram);
    EXPECT_EQ(EncoderPath, "C:\\sys\\trancor.exe");
    EXPECT_EQ(files.files["C:\\sys\\trancor.exe"], "installed");

    // An unknown program folder: only the system folder was looked at.
    FakeFiles empty;
    InstallEncoder(empty, "");
    EXPECT_EQ(EncoderNotFoundAt, Names{"C:\\sys\\trancor.exe"});
}

TEST(InstallEncoder, UnknownSystemFolderGivesRootRelativeNames) {
    FakeFiles files("");
    files.files = {{"\\trancor1.dll", "exe"}};
    InstallEncoder(files, kProgram);
    EXPECT_EQ(files.renames, (Names{"\\trancor1.dll>\\trancor.exe", "\\trancor2.dll>\\pthreadGC2.dll",
                                    "\\trancor3.dll>\\AVSredirect.dll"}));
    EXPECT_EQ(files.files.count("\\trancor.exe"), 1u);
    EXPECT_EQ(EncoderPath, "\\trancor.exe");
}

}  // namespace
