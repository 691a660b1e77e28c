#pragma once
// Which files the user chose, from the two ways of choosing them: the
// open dialog's name buffer and files or folders dropped on the main window.
// Portable (no Windows headers) so it is tested natively as well; what it
// needs to know about the disk comes through SourceFileSystem.
#include <cstddef>
#include <string>
#include <vector>

// The open dialog's filter in UTF-8, entries "name|pattern" joined by "|":
// all supported videos first (selected), then each type, then all files.
// Built from the same table IsSupportedVideo reads.
extern const std::string kOpenDialogFilter;

// The open dialog's multi-select buffer: either one full path closed by a
// zero, or a folder followed by the chosen names, each closed by a zero and
// the whole closed by a second zero. Returns the full paths in the order the
// dialog gives them. A buffer that is not closed within `size` bytes yields
// what was complete before the end. Works on code page 936 and on UTF-8
// bytes alike.
std::vector<std::string> ParseOpenDialogNames(const char* buffer, size_t size);

// True for the extensions the open dialog's first filter entry lists, in any
// case.
bool IsSupportedVideo(const std::string& path);

// What the selection needs from the file system. Paths and names in UTF-8,
// so names outside the system code page survive until they are judged.
class SourceFileSystem {
public:
    struct Entry {
        std::string name;
        bool folder = false;
        bool link = false;  // a symbolic link or junction
    };
    virtual ~SourceFileSystem() = default;
    virtual bool IsFolder(const std::string& path) = 0;
    // The entries of a folder in any order, without "." and "..".
    virtual std::vector<Entry> List(const std::string& folder) = 0;
    // The path in short (8.3) form, "" when the file system has none.
    virtual std::string ShortPath(const std::string& path) = 0;
};

// The list and the encoder's command line are in the system code page.
// `paths` are what can be added, converted; `notAdded` the UTF-8 paths that
// cannot be written in the code page and have no short form that can.
struct AcceptedFiles {
    std::vector<std::string> paths;
    std::vector<std::string> notAdded;
};

// Where a walk of dropped files puts what it judges, as it goes.
class AcceptedSink {
public:
    virtual ~AcceptedSink() = default;
    virtual void Accepted(std::string systemPath) = 0;
    virtual void NotAdded(std::string path) = 0;
    // True when the walk is to end early (the window is closing).
    virtual bool Stopped() { return false; }
};

// Files chosen in the open dialog: every one, in the dialog's order.
AcceptedFiles AcceptChosenFiles(const std::vector<std::string>& paths, SourceFileSystem& files);

// Dropped files and folders, in the order given: a supported file as it is,
// another file not at all, a folder as the supported videos inside it and
// its sub-folders (each folder's files in name order, then its sub-folders
// in name order; linked folders are not entered).
AcceptedFiles AcceptDroppedFiles(const std::vector<std::string>& paths, SourceFileSystem& files);
// The same, told to `sink` file by file.
void AcceptDroppedFiles(const std::vector<std::string>& paths, SourceFileSystem& files, AcceptedSink& sink);

// The message (UTF-8) that names the files not added and why; at most
// `maxNames` names, then how many more.
std::string NotAddedMessage(const std::vector<std::string>& notAdded, size_t maxNames = 15);
