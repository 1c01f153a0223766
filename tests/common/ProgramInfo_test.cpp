#include "common/ProgramInfo.h"

#include <gtest/gtest.h>

#include <vector>

namespace isotri {
namespace {

TEST(FindInfoRequest, TakesTheFirstExactWord) {
    struct Case {
        std::vector<const char*> args;  // after the program name
        InfoRequest expected;
    };
    const Case cases[] = {
        {{}, InfoRequest::None},
        {{"batch.txt"}, InfoRequest::None},
        {{"--help"}, InfoRequest::Help},
        {{"--version"}, InfoRequest::Version},
        {{"--model", "m", "--version"}, InfoRequest::Version},
        {{"--version", "--help"}, InfoRequest::Version},
        {{"--help", "--version"}, InfoRequest::Help},
        {{"--helpful", "--versions", "-help", "--HELP", "help"}, InfoRequest::None},
    };
    for (const Case& c : cases) {
        std::vector<const char*> argv{"isotri"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        SCOPED_TRACE(::testing::PrintToString(c.args));
        EXPECT_EQ(FindInfoRequest(static_cast<int>(argv.size()), argv.data()), c.expected);
    }
}

TEST(FindInfoRequest, IgnoresTheProgramName) {
    const char* argv[] = {"--help"};
    EXPECT_EQ(FindInfoRequest(1, argv), InfoRequest::None);
}

TEST(VersionText, NamesProgramPackageAndVersionFirst) {
    const std::string text = VersionText("isotri-plot");
    EXPECT_EQ(text.substr(0, text.find('\n')), "isotri-plot (isotri) " ISOTRI_VERSION);
    EXPECT_EQ(text.back(), '\n');
}

}  // namespace
}  // namespace isotri
