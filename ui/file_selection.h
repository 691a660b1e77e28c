#pragma once
// Which files the user chose, from the two ways of choosing them: the
// open dialog's name buffer and files dropped on the main window. Portable
// (no Windows headers) so it is tested natively as well.
#include <cstddef>
#include <string>
#include <vector>

// The open dialog's multi-select buffer: either one full path closed by a
// zero, or a folder followed by the chosen names, each closed by a zero and
// the whole closed by a second zero. Returns the full paths in the order the
// dialog gives them. A buffer that is not closed within `size` bytes yields
// what was complete before the end.
std::vector<std::string> ParseOpenDialogNames(const char* buffer, size_t size);

// True for the extensions the open dialog's first filter entry lists (.avi,
// .mpeg, .mpg, .asf, .mov, .wmv), in any case.
bool IsSupportedVideo(const std::string& path);

// Dropped files: the supported ones, in the order given.
std::vector<std::string> SupportedVideos(const std::vector<std::string>& paths);
