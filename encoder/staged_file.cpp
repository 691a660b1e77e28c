#include "staged_file.h"

#include "file_system.h"
#include "trancor_files.h"

StagedFile::StagedFile(std::string target) : target_(std::move(target)), part_(trancor::StagedPathFor(target_)) {
    // The first thing done to the output: a name the folder refuses (too
    // long, not allowed) shows up here.
    fsys::RemoveIfPresent(part_, "cannot write the output");
}

StagedFile::~StagedFile() {
    if (committed_) return;
    try {
        fsys::RemoveIfPresent(part_, "cannot remove the unfinished output");
    } catch (...) {
        // Nothing better to do: the next run for this target removes it.
    }
}

void StagedFile::Commit() {
    fsys::Replace(part_, target_);
    committed_ = true;
}
