// How the main window reads the files the user chose: the open dialog's
// name buffer and dropped files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "file_selection.h"

namespace {

using Paths = std::vector<std::string>;

Paths Parse(const std::string& buffer) { return ParseOpenDialogNames(buffer.data(), buffer.size()); }

TEST(OpenDialogNames, OneChosenFileIsItsFullPath) {
    EXPECT_EQ(Parse(std::string("D:\\v\\a.avi\0\0", 13)), Paths{"D:\\v\\a.avi"});
}

TEST(OpenDialogNames, SeveralFilesAreTheFolderJoinedToEachNameInTheDialogsOrder) {
    EXPECT_EQ(Parse(std::string("D:\\v\0c.avi\0a.avi\0b b.mpg\0\0", 27)),
              (Paths{"D:\\v\\c.avi", "D:\\v\\a.avi", "D:\\v\\b b.mpg"}));
    // A drive's root already ends in a backslash.
    EXPECT_EQ(Parse(std::string("E:\\\0a.avi\0b.avi\0\0", 18)), (Paths{"E:\\a.avi", "E:\\b.avi"}));
}

TEST(OpenDialogNames, NothingChosenOrACutOffBufferGivesOnlyCompleteNames) {
    EXPECT_TRUE(Parse(std::string("\0\0", 2)).empty());
    EXPECT_TRUE(Parse(std::string()).empty());
    // The last name runs into the end of the buffer: it is left out.
    EXPECT_EQ(Parse(std::string("D:\\v\0a.avi\0b.av", 15)), Paths{"D:\\v\\a.avi"});
    // Only the folder is complete: not a file.
    EXPECT_EQ(Parse(std::string("D:\\v\\a.avi", 10)), Paths{});
}

TEST(OpenDialogNames, GbkNamesPassUnchanged) {
    // "视频" and "假期" in code page 936; a trail byte may equal '\\' (0x5C).
    const std::string folder = "D:\\\xCA\xD3\xC6\xB5";
    const std::string name = "\xBC\xD9\xC6\xDA\x5C.avi";
    std::string buffer = folder + '\0' + name + '\0' + "x.avi" + '\0' + '\0';
    EXPECT_EQ(Parse(buffer), (Paths{folder + "\\" + name, folder + "\\x.avi"}));
}

TEST(SupportedVideos, TheSixExtensionsOfTheDialogsFilterInAnyCase) {
    for (const char* path : {"a.avi", "D:\\v\\b.MPEG", "c.Mpg", "d.asf", "e.mov", "f.WMV"}) {
        EXPECT_TRUE(IsSupportedVideo(path)) << path;
    }
    for (const char* path : {"a.mp4", "b.avi.txt", "c", "D:\\v.avi\\c", "avi", "d.av", "e.mpeg2", ""}) {
        EXPECT_FALSE(IsSupportedVideo(path)) << path;
    }
}

TEST(SupportedVideos, DroppedFilesKeepTheirOrderAndLoseTheOthers) {
    EXPECT_EQ(SupportedVideos({"z.wmv", "notes.txt", "a.avi", "folder", "m.mov"}),
              (Paths{"z.wmv", "a.avi", "m.mov"}));
}

}  // namespace
