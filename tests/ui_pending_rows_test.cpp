// A large drop's rows added a slice at a time: in the order their files
// came, and the files that cannot be added named after the rows before them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pending_rows.h"

namespace {

using Paths = std::vector<std::string>;

TEST(PendingRows, SlicesKeepTheOrderAndTheFilesNotAddedWaitForTheRowsBeforeThem) {
    PendingRows pending;
    pending.Append({{"a", "b", "c"}, {"x"}});
    EXPECT_EQ(pending.NextSlice(2), (Paths{"a", "b"}));
    EXPECT_TRUE(pending.TakeNotAdded().empty());  // "c" still waits
    // A later drop's files queue behind what is still waiting.
    pending.Append({{"d", "e"}, {"y"}});
    EXPECT_EQ(pending.NextSlice(2), (Paths{"c", "d"}));
    EXPECT_TRUE(pending.HasPaths());
    EXPECT_EQ(pending.NextSlice(2), (Paths{"e"}));
    EXPECT_FALSE(pending.HasPaths());
    EXPECT_EQ(pending.TakeNotAdded(), (Paths{"x", "y"}));
    EXPECT_TRUE(pending.TakeNotAdded().empty());  // named once
    // Once empty, it starts afresh.
    pending.Append({{"f"}, {}});
    EXPECT_EQ(pending.NextSlice(500), (Paths{"f"}));
    EXPECT_TRUE(pending.NextSlice(500).empty());
}

}  // namespace
