#include "pending_rows.h"

#include <algorithm>
#include <iterator>

void PendingRows::Append(AcceptedFiles files) {
    if (!HasPaths()) {
        paths_.clear();
        next_ = 0;
    }
    paths_.insert(paths_.end(), std::make_move_iterator(files.paths.begin()),
                  std::make_move_iterator(files.paths.end()));
    notAdded_.insert(notAdded_.end(), std::make_move_iterator(files.notAdded.begin()),
                     std::make_move_iterator(files.notAdded.end()));
}

std::vector<std::string> PendingRows::NextSlice(size_t count) {
    const size_t end = next_ + std::min(count, paths_.size() - next_);
    std::vector<std::string> slice(std::make_move_iterator(paths_.begin() + static_cast<std::ptrdiff_t>(next_)),
                                   std::make_move_iterator(paths_.begin() + static_cast<std::ptrdiff_t>(end)));
    next_ = end;
    if (!HasPaths()) {
        paths_.clear();
        next_ = 0;
    }
    return slice;
}

std::vector<std::string> PendingRows::TakeNotAdded() {
    if (HasPaths()) return {};
    std::vector<std::string> taken = std::move(notAdded_);
    notAdded_.clear();
    return taken;
}
