// The names of the encoder's staged files: the encoder writes them and the
// worker removes them after a cancel, both through this one rule.
#include <gtest/gtest.h>

#include "trancor_files.h"

TEST(TrancorFiles, ThumbnailAndStagedNamesBesideTheTarget) {
    using trancor::StagedPathFor;
    using trancor::ThumbnailPathFor;
    EXPECT_EQ(ThumbnailPathFor("E:\\PSP\\M4V30000.MP4"), "E:\\PSP\\M4V30000.THM");
    EXPECT_EQ(StagedPathFor(ThumbnailPathFor("E:\\PSP\\M4V30000.MP4")), "E:\\PSP\\M4V30000.THM.part");
    EXPECT_EQ(StagedPathFor("M4V7.MP4"), "M4V7.MP4.part");
    // Only the last extension goes, and a dot in a folder name is not one.
    EXPECT_EQ(ThumbnailPathFor("D:\\a.b\\clip.x.mp4"), "D:\\a.b\\clip.x.THM");
    EXPECT_EQ(ThumbnailPathFor("D:\\a.b\\clip"), "D:\\a.b\\clip.THM");
    EXPECT_EQ(ThumbnailPathFor("/tmp/v.1/clip"), "/tmp/v.1/clip.THM");
}
