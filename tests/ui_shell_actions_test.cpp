// The home page's fallback: the shell's failure (a result of 32 or less)
// sends the address to IEXPLORE.EXE instead. "打开文件夹" opens folders only.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell_actions.h"
#include "test_folder.h"

namespace {

struct Request {
    std::string file;
    std::string parameters;
    int show;
};

std::vector<Request> OpenHomePageWithShellResult(intptr_t firstResult) {
    std::vector<Request> requests;
    OpenHomePage([&](const char* file, const char* parameters, int show) -> intptr_t {
        requests.push_back({file, parameters ? parameters : "<none>", show});
        return requests.size() == 1 ? firstResult : 0;
    });
    return requests;
}

TEST(HomePage, OpensTheAddressShownAndStopsWhenTheShellSucceeds) {
    auto requests = OpenHomePageWithShellResult(33);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].file, kHomePageAddress);
    EXPECT_EQ(requests[0].parameters, "<none>");
    EXPECT_EQ(requests[0].show, 5);
}

TEST(HomePage, AFailedShellRequestFallsBackToTheBrowserProgramOnce) {
    for (intptr_t failure : {32, 2, 0}) {
        auto requests = OpenHomePageWithShellResult(failure);
        ASSERT_EQ(requests.size(), 2u) << failure;
        EXPECT_EQ(requests[1].file, "IEXPLORE.EXE");
        EXPECT_EQ(requests[1].parameters, kHomePageAddress);
        EXPECT_EQ(requests[1].show, 5);
    }
}

TEST(OpenFolder, OpensOnlyAnExistingFolderNeverAProgramOrNothing) {
    TestFolder folder;
    folder.WriteFile("setup.exe", "MZ");
    const std::string out = folder.Path("out");
    ASSERT_TRUE(CreateDirectoryA(out.c_str(), nullptr));
    const struct {
        std::string output;
        bool opened;
    } cases[] = {{folder.Path("setup.exe"), false}, {folder.Path("missing"), false}, {"", false}, {out, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE("Output=" + c.output);
        std::vector<Request> requests;
        const bool asked = OpenFolder(c.output, [&](const char* file, const char* parameters, int show) -> intptr_t {
            requests.push_back({file, parameters ? parameters : "<none>", show});
            return 42;
        });
        EXPECT_EQ(asked, c.opened);
        ASSERT_EQ(requests.size(), c.opened ? 1u : 0u);
        if (c.opened) {
            EXPECT_EQ(requests[0].file, c.output);
            EXPECT_EQ(requests[0].parameters, "<none>");
            EXPECT_EQ(requests[0].show, 5);
        }
    }
}

}  // namespace
