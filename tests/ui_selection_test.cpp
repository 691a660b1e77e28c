// How the main window reads the files the user chose: the open dialog's
// name buffer and dropped files.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "codepage.h"

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

TEST(OpenDialogFilter, TheDesignedSevenFirstThenTodaysContainers) {
    // "name|pattern" pairs, in order.
    std::vector<std::pair<std::string, std::string>> entries;
    std::string filter = kOpenDialogFilter;
    size_t pos = 0;
    while (pos <= filter.size()) {
        size_t bar = filter.find('|', pos);
        size_t next = filter.find('|', bar + 1);
        ASSERT_NE(bar, std::string::npos) << "a name without a pattern";
        entries.emplace_back(filter.substr(pos, bar - pos), filter.substr(bar + 1, next - bar - 1));
        if (next == std::string::npos) break;
        pos = next + 1;
    }
    using Entry = std::pair<std::string, std::string>;
    EXPECT_EQ(entries, (std::vector<Entry>{
        {"所有支持的视频格式", "*.avi;*.mpeg;*.mpg;*.asf;*.mov;*.wmv;*.mp4;*.m4v;*.mkv;*.webm;*.flv;"
                              "*.3gp;*.ts;*.m2ts;*.mts;*.vob;*.dv"},
        {"AVI", "*.avi"}, {"MPEG", "*.mpeg"}, {"MPG", "*.mpg"}, {"ASF", "*.asf"}, {"MOV", "*.mov"},
        {"WMV", "*.wmv"},
        {"MP4", "*.mp4;*.m4v"}, {"MKV", "*.mkv"}, {"WebM", "*.webm"}, {"FLV", "*.flv"},
        {"3GP", "*.3gp"}, {"TS", "*.ts;*.m2ts;*.mts"}, {"VOB", "*.vob"}, {"所有文件", "*.*"}}));

    // A drop takes exactly what the first entry lists.
    std::string first = entries.front().second;
    for (size_t start = 0; start < first.size();) {
        size_t end = std::min(first.find(';', start), first.size());
        std::string ext = first.substr(start + 1, end - start - 1);  // ".avi"
        EXPECT_TRUE(IsSupportedVideo("x" + ext)) << ext;
        start = end + 1;
    }
}

TEST(SupportedVideos, TheFirstFilterEntrysExtensionsInAnyCase) {
    for (const char* path : {"a.avi", "D:\\v\\b.MPEG", "c.Mpg", "d.asf", "e.mov", "f.WMV", "g.MP4",
                             "h.m4v", "i.MKV", "j.WebM", "k.flv", "l.3GP", "m.ts", "n.M2TS", "o.mts",
                             "p.VOB", "q.dv"}) {
        EXPECT_TRUE(IsSupportedVideo(path)) << path;
    }
    for (const char* path : {"a.txt", "b.avi.txt", "c", "D:\\v.avi\\c", "avi", "d.av", "e.mpeg2",
                             "f.mp4.part", "g.srt", "h.m2t", ""}) {
        EXPECT_FALSE(IsSupportedVideo(path)) << path;
    }
}

// A folder tree in memory; paths as given to List ("D:\v\f").
class FakeFiles : public SourceFileSystem {
public:
    std::map<std::string, std::vector<Entry>> folders;
    std::map<std::string, std::string> shortPaths;
    std::vector<std::string> listed;

    bool IsFolder(const std::string& path) override { return folders.count(path) > 0; }
    std::vector<Entry> List(const std::string& folder) override {
        listed.push_back(folder);
        auto it = folders.find(folder);
        return it == folders.end() ? std::vector<Entry>{} : it->second;
    }
    std::string ShortPath(const std::string& path) override {
        auto it = shortPaths.find(path);
        return it == shortPaths.end() ? std::string() : it->second;
    }
};

SourceFileSystem::Entry File(const char* name) { return {name, false, false}; }
SourceFileSystem::Entry Folder(const char* name, bool link = false) { return {name, true, link}; }

TEST(DroppedFiles, FilesInOrderFoldersAsTheirVideosFilesFirstThenSubFoldersByName) {
    FakeFiles files;
    files.folders["D:\\v\\f"] = {Folder("sub2"), File("z.mp4"), File("readme.txt"), Folder("Sub1"),
                                 File("A.webm"), File("c.TS"), Folder("loop", true), File("b.Mkv")};
    files.folders["D:\\v\\f\\Sub1"] = {Folder("deep"), File("x.vob"), File("cover.jpg")};
    files.folders["D:\\v\\f\\Sub1\\deep"] = {File("y.flv")};
    files.folders["D:\\v\\f\\sub2"] = {File("w.3gp"), Folder("empty")};
    files.folders["D:\\v\\f\\sub2\\empty"] = {};
    files.folders["D:\\v\\f\\loop"] = {File("never.mp4")};
    files.folders["E:\\"] = {File("root.avi")};

    AcceptedFiles accepted = AcceptDroppedFiles(
        {"D:\\v\\b.MOV", "D:\\v\\notes.txt", "D:\\v\\f", "D:\\v\\noext", "E:\\", "D:\\v\\a.m2ts"},
        files);
    EXPECT_EQ(accepted.paths, (Paths{
        "D:\\v\\b.MOV",
        "D:\\v\\f\\A.webm", "D:\\v\\f\\b.Mkv", "D:\\v\\f\\c.TS", "D:\\v\\f\\z.mp4",
        "D:\\v\\f\\Sub1\\x.vob", "D:\\v\\f\\Sub1\\deep\\y.flv",
        "D:\\v\\f\\sub2\\w.3gp",
        "E:\\root.avi",
        "D:\\v\\a.m2ts"}));
    EXPECT_TRUE(accepted.notAdded.empty());
    // The linked folder was never even read.
    EXPECT_EQ(std::count(files.listed.begin(), files.listed.end(), "D:\\v\\f\\loop"), 0);
}

TEST(SupportedVideos, DroppedFilesKeepTheirOrderAndLoseTheOthers) {
    FakeFiles files;  // none of them is a folder
    EXPECT_EQ(AcceptDroppedFiles({"z.wmv", "notes.txt", "a.avi", "folder", "m.mov"}, files).paths,
              (Paths{"z.wmv", "a.avi", "m.mov"}));
}

TEST(ChosenAndDroppedFiles, NamesOutsideTheCodePageTakeTheirShortPathOrAreReported) {
    FakeFiles files;
    const std::string korean = "D:\\视频\\한국 여행.mp4";       // has a short name
    const std::string emoji = "D:\\视频\\生日🎂.mkv";           // has none
    const std::string badShort = "D:\\视频\\한글 영상.avi";      // short form still not ANSI
    files.shortPaths[korean] = "D:\\视频\\____~FOI.MP4";
    files.shortPaths[badShort] = "D:\\视频\\한글~1.AVI";
    files.folders["D:\\视频"] = {File("한국 여행.mp4"), File("生日🎂.mkv"), File("한글 영상.avi"),
                                 File("假期.flv")};

    const Paths expectedPaths{Utf8ToSystem("D:\\视频\\____~FOI.MP4"), Utf8ToSystem("D:\\视频\\假期.flv")};
    for (const char* via : {"chosen", "dropped folder"}) {
        AcceptedFiles accepted =
            std::string(via) == "chosen"
                ? AcceptChosenFiles({korean, emoji, badShort, "D:\\视频\\假期.flv"}, files)
                : AcceptDroppedFiles({"D:\\视频"}, files);
        std::sort(accepted.notAdded.begin(), accepted.notAdded.end());
        EXPECT_EQ(accepted.paths.size(), 2u) << via;
        if (std::string(via) == "chosen") {
            EXPECT_EQ(accepted.paths, expectedPaths);
        } else {
            EXPECT_EQ(accepted.paths, (Paths{expectedPaths[1], expectedPaths[0]}));  // name order
        }
        EXPECT_EQ(accepted.notAdded, (Paths{emoji, badShort})) << via;  // sorted
        for (const std::string& path : accepted.paths) {
            EXPECT_EQ(path.find('?'), std::string::npos) << via;  // nothing replaced
            EXPECT_EQ(SystemToUtf8(path).find('?'), std::string::npos) << via;
        }
    }

    // Whatever the dialog returns is added, even a type the drop would skip
    // (its filter offers "所有文件").
    EXPECT_EQ(AcceptChosenFiles({"D:\\a.txt"}, files).paths, Paths{"D:\\a.txt"});

    // One message names every file left out, and why.
    std::string message = NotAddedMessage({badShort, emoji});
    EXPECT_NE(message.find(badShort), std::string::npos);
    EXPECT_NE(message.find(emoji), std::string::npos);
    EXPECT_NE(message.find("代码页"), std::string::npos);
    Paths many(20, emoji);
    std::string capped = NotAddedMessage(many, 15);
    size_t count = 0;
    for (size_t at = capped.find(emoji); at != std::string::npos; at = capped.find(emoji, at + 1)) ++count;
    EXPECT_EQ(count, 15u);
    EXPECT_NE(capped.find("另有 5 个文件"), std::string::npos);
}

}  // namespace
