#include "staged_file.h"

#include "file_system.h"

StagedFile::StagedFile(std::string target) : target_(std::move(target)), part_(target_ + ".part") {
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

std::string ThumbnailPathFor(const std::string& target) {
    const auto slash = target.find_last_of("/\\");
    const auto dot = target.rfind('.');
    const bool has_extension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (has_extension ? target.substr(0, dot) : target) + ".THM";
}
