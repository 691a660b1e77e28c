// One contract for every settings-file store: the system's own (the Windows
// functions under Wine) and the portable one, so any difference shows.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>
#include <vector>

#include "codepage.h"
#include "ini_file.h"
#include "test_folder.h"

namespace {

struct Store {
    const char* name;
    std::function<std::unique_ptr<IniFile>()> make;
};

void PrintTo(const Store& store, std::ostream* os) { *os << store.name; }

std::vector<Store> Stores() {
    std::vector<Store> stores{{"Portable", MakePortableIniFile}};
#ifdef _WIN32
    stores.push_back({"Windows", MakeSystemIniFile});
#endif
    return stores;
}

class IniContract : public ::testing::TestWithParam<Store> {
protected:
    void SetUp() override { ini = GetParam().make(); }
    std::string Read(const std::string& key, const std::string& def = "0") {
        return ini->ReadString(file, "Settings", key, def);
    }
    // Non-empty lines of the file, without line ends.
    std::vector<std::string> Lines() {
        std::vector<std::string> lines;
        std::istringstream in(folder.ReadFile("Config.ini"));
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!line.empty()) lines.push_back(line);
        }
        return lines;
    }

    TestFolder folder;
    std::string file = folder.Path("Config.ini");
    std::unique_ptr<IniFile> ini;
};

TEST_P(IniContract, MissingFileSectionOrKeyGivesTheDefault) {
    EXPECT_EQ(Read("Resolution"), "0");
    folder.WriteFile("Config.ini", "[Other]\r\nResolution=5\r\n");
    EXPECT_EQ(Read("Resolution"), "0");
    folder.WriteFile("Config.ini", "[Settings]\r\nFramerate=1\r\n");
    EXPECT_EQ(Read("Resolution", "dflt"), "dflt");
    EXPECT_EQ(Read("Framerate"), "1");
}

TEST_P(IniContract, ValuesAsTheSystemReadsThem) {
    folder.WriteFile("Config.ini",
                     "[settings]\r\n"
                     "Resolution=\r\n"
                     "  Framerate  =  1  \r\n"
                     "CHANNELS=2\r\n"
                     "Output=\"E:\\PSP\"\r\n"
                     "Title='x'\r\n"
                     "Half=\"E:\\PSP\r\n"
                     "Mixed=\"a'\r\n"
                     "Inner=a \"b\" c\r\n"
                     "Tab=\t7\t\r\n"
                     "VideoQuality=abc\r\n");
    EXPECT_EQ(Read("Resolution"), "");      // present but empty: not the default
    EXPECT_EQ(Read("Framerate"), "1");      // spaces around key and value go
    EXPECT_EQ(Read("channels"), "2");       // keys and sections match in any case
    EXPECT_EQ(Read("Output"), "E:\\PSP");   // one pair of matching quotes goes
    EXPECT_EQ(Read("Title"), "x");
    EXPECT_EQ(Read("Half"), "\"E:\\PSP");
    EXPECT_EQ(Read("Mixed"), "\"a'");
    EXPECT_EQ(Read("Inner"), "a \"b\" c");
    EXPECT_EQ(Read("Tab"), "7");
    EXPECT_EQ(Read("VideoQuality"), "abc");
}

TEST_P(IniContract, OddLinesAsTheSystemReadsThem) {
    folder.WriteFile("Config.ini",
                     "; comment\r\n"
                     "[ Settings ]\r\n"
                     ";Resolution=5\r\n"
                     "Framerate=1\r\n"
                     "Framerate=2\r\n"
                     "Channels\r\n"
                     "=9\r\n"
                     "Volume==100\r\n"
                     "[Settings]\r\n"
                     "Framerate=3\r\n"
                     "AudioQuality=48\r\n");
    EXPECT_EQ(Read("Resolution"), "0");
    EXPECT_EQ(Read(";Resolution"), "5");
    EXPECT_EQ(Read("Framerate"), "1");        // the first of two keys
    EXPECT_EQ(Read("Channels", "dflt"), "dflt");  // a key without "=" has no value
    EXPECT_EQ(Read("Volume"), "=100");
    EXPECT_EQ(Read("AudioQuality"), "0");     // only the first of two sections counts
}

TEST_P(IniContract, LongValuesAreCutTo2047Characters) {
    std::string longValue(3000, 'v');
    longValue[2046] = 'L';
    ASSERT_TRUE(ini->WriteString(file, "Settings", "Output", longValue));
    std::string read = Read("Output");
    EXPECT_EQ(read.size(), 2047u);
    EXPECT_EQ(read.back(), 'L');
}

TEST_P(IniContract, WritesCreateReplaceAndKeepFirstWrittenOrder) {
    const char* keys[] = {"Resolution", "Framerate", "Channels", "VideoQuality"};
    for (const char* k : keys) ASSERT_TRUE(ini->WriteString(file, "Settings", k, "0"));
    ASSERT_TRUE(ini->WriteString(file, "Settings", "framerate", "1"));
    ASSERT_TRUE(ini->WriteString(file, "Settings", "Output", ""));
    EXPECT_EQ(Lines(), (std::vector<std::string>{"[Settings]", "Resolution=0", "Framerate=1", "Channels=0",
                                                 "VideoQuality=0", "Output="}));
    EXPECT_EQ(Read("Output"), "");
    EXPECT_EQ(Read("Framerate"), "1");
}

TEST_P(IniContract, SystemCodePageTextRoundTrips) {
    const std::string folderName = SysText("E:\\视频\\PSP 输出");
    ASSERT_TRUE(ini->WriteString(file, "Settings", "Output", folderName));
    EXPECT_EQ(Read("Output"), folderName);
    EXPECT_EQ(Lines().back(), "Output=" + folderName);
}

TEST_P(IniContract, RefusedWritesReportFailure) {
    EXPECT_FALSE(ini->WriteString(folder.Path("missing") + "/x/Config.ini", "Settings", "A", "1"));
    // A folder where the file should be: refused even for an administrator.
    std::filesystem::create_directory(folder.Path("Config.ini"));
    EXPECT_FALSE(ini->WriteString(file, "Settings", "A", "1"));
    EXPECT_EQ(Read("A", "none"), "none");
}

INSTANTIATE_TEST_SUITE_P(Stores, IniContract, ::testing::ValuesIn(Stores()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
