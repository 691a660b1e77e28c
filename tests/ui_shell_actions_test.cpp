// The home page's fallback: the shell's failure (a result of 32 or less)
// sends the address to IEXPLORE.EXE instead.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell_actions.h"

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

}  // namespace
