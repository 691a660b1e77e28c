// Path splitting, folder listing and the temporary folder, and the subtitle
// file found beside a video through them, on real folders.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "file_system.h"
#include "subtitle_choice.h"

namespace {

TEST(PathParts, SplitsAtTheLastSeparatorAndTheLastDot) {
    const fsys::PathParts full = fsys::SplitPath("/films/old/电影.part1.avi");
    EXPECT_EQ(full.folder, "/films/old/");
    EXPECT_EQ(full.name, "电影.part1.avi");
    EXPECT_EQ(full.stem(), "电影.part1");
    EXPECT_EQ(full.extension(), ".avi");
    const fsys::PathParts bare = fsys::SplitPath("clip");
    EXPECT_EQ(bare.folder, "");
    EXPECT_EQ(bare.stem(), "clip");
    EXPECT_EQ(bare.extension(), "");
    EXPECT_EQ(fsys::SplitPath(".hidden").extension(), "");  // a leading dot starts no extension
    EXPECT_EQ(fsys::SplitPath("a/..").stem(), "..");
}

class Folder : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/vq-fsys-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = std::string(pattern) + "/";
    }
    void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }
    void Touch(const std::string& name) {
        FILE* f = std::fopen((dir_ + name).c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fclose(f);
    }
    std::string dir_;
};

TEST_F(Folder, ListsItsFilesButNotItsFolders) {
    Touch("a.srt");
    Touch("b.ass");
    ASSERT_EQ(mkdir((dir_ + "c.srt").c_str(), 0755), 0);
    std::vector<std::string> names = fsys::RegularFilesIn(dir_);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"a.srt", "b.ass"}));
    EXPECT_TRUE(fsys::RegularFilesIn(dir_ + "missing/").empty());
}

TEST_F(Folder, FindsTheSubtitleFileBesideAVideoGivenByPathOrByBareName) {
    Touch("Film.avi");
    Touch("film.eng.srt");
    Touch("film.chs.ass");
    EXPECT_EQ(FindSubtitleFile(dir_ + "Film.avi"), dir_ + "film.chs.ass");
    char here[4096];
    ASSERT_NE(getcwd(here, sizeof here), nullptr);
    ASSERT_EQ(chdir(dir_.c_str()), 0);
    const std::string bare = FindSubtitleFile("Film.avi");
    ASSERT_EQ(chdir(here), 0);
    EXPECT_EQ(bare, "film.chs.ass");
}

TEST_F(Folder, TemporaryFolderFollowsTmpdirAndEndsInASeparator) {
    const char* saved = std::getenv("TMPDIR");
    const std::string before = saved ? saved : "";
    setenv("TMPDIR", dir_.substr(0, dir_.size() - 1).c_str(), 1);
    EXPECT_EQ(fsys::TemporaryFolder(), dir_);
    setenv("TMPDIR", (dir_ + "missing").c_str(), 1);
    EXPECT_EQ(fsys::TemporaryFolder(), "");
    if (saved) setenv("TMPDIR", before.c_str(), 1); else unsetenv("TMPDIR");
}

}  // namespace
