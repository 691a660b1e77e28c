#include "staged_file.h"

#include "file_system.h"
#include "trancor_files.h"

StagedFile::StagedFile(std::string target) : target_(std::move(target)), part_(trancor::StagedPathFor(target_)) {
    fsys::RemoveIfPresent(part_);
}

StagedFile::~StagedFile() {
    if (committed_) return;
    try {
        fsys::RemoveIfPresent(part_);
    } catch (...) {
        // Nothing better to do: the next run for this target removes it.
    }
}

void StagedFile::Commit() {
    fsys::Replace(part_, target_);
    committed_ = true;
}
