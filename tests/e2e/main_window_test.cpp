// The main window driven from outside: adding and removing rows, the empty
// Start, moving, the help menu, closing and the settings file.
#include <windows.h>

#include "scenario.h"

using e2e::JoinPath;
using Texts = std::vector<std::string>;

namespace {

using MainWindow = ProgramScenario;

TEST_F(MainWindow, FirstStartWithoutConfigNamesTargetsInFolder0AndAddsInDialogOrder) {
    std::string videos = InFolder("videos");
    MakeFiles(videos, {"a.avi", "b.avi", "c.avi"});
    StartProgram();

    AddFiles(videos, {"b.avi", "c.avi", "a.avi"});
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::ListRowCount(List()) == 3; }));
    EXPECT_EQ(Column(0), (Texts{JoinPath(videos, "b.avi"), JoinPath(videos, "c.avi"),
                                JoinPath(videos, "a.avi")}));
    EXPECT_EQ(Column(1), (Texts{"0\\M4V0.MP4", "0\\M4V1.MP4", "0\\M4V2.MP4"}));
    EXPECT_EQ(Column(2), (Texts{"", "", ""}));
    Screenshot("rows");
}

}  // namespace
