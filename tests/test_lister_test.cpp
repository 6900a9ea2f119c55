#include "run.h"

#include <gtest/gtest.h>

namespace {

Outcome run_test(std::string argv0, std::vector<std::string> args)
{
    Options options;
    options.argv0 = std::move(argv0);
    options.args = std::move(args);
    return run("Test", "ignored input\n", options);
}

} // namespace

TEST(Test, ListsTheCommandLine)
{
    expect_success(run_test("Test", {}), "Total parameter are: 1\n\nargv[0]= Test");
    expect_success(run_test("./bin/Test", {"x", "y z"}),
                   "Total parameter are: 3\n\nargv[0]= ./bin/Test\nargv[1]= x\nargv[2]= y z");
    expect_success(
        run_test("Test", {"", "-", "\xe6\x98\xaf"}),
        "Total parameter are: 4\n\nargv[0]= Test\nargv[1]= \nargv[2]= -\nargv[3]= \xe6\x98\xaf");
}
