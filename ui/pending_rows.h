#pragma once
// Files waiting to become rows of the job list. A large drop is added a
// slice at a time, so the window paints and follows the pointer between
// slices. Rows keep the order in which their files came; the files that
// cannot be added are named once every row that came before them is in.
// Portable (no Windows headers) so it is tested natively as well.
#include <cstddef>
#include <string>
#include <vector>

#include "file_selection.h"

class PendingRows {
public:
    // After everything that waits already.
    void Append(AcceptedFiles files);
    // At most `count` paths, the oldest first, taken out.
    std::vector<std::string> NextSlice(size_t count);
    bool HasPaths() const { return next_ < paths_.size(); }
    // The files not added, taken out - but only once no path waits before
    // them; until then nothing.
    std::vector<std::string> TakeNotAdded();

private:
    std::vector<std::string> paths_;
    size_t next_ = 0;  // paths_ before it are taken
    std::vector<std::string> notAdded_;
};
