#pragma once
// The PSP's video folders on its memory stick: MPEG-4 files live in
// MP_ROOT\100MNV01, H.264 files in its sibling MP_ROOT\100ANV01. Paths are
// in the system code page.
#include <string>
#include <vector>

#include "job_list.h"

// Where targets of `videoFormat` go: H.264 targets for a PSP's MPEG-4 folder
// (`output` ends in "\MP_ROOT\100MNV01", case-blind, a trailing backslash
// allowed) go to its sibling "...\MP_ROOT\100ANV01"; anything else is `output`.
std::string TargetFolderFor(const std::string& output, int32_t videoFormat);

// The distinct PSP H.264 folders ("\MP_ROOT\100ANV01" at the end, case-blind)
// that the rows' targets lie in, in row order: Start creates those missing.
std::vector<std::string> PspH264FoldersOf(const JobList& jobs);
