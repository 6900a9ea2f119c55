#include "run.h"

#include <gtest/gtest.h>

// Every program notices that its output could not be written (stdout on a
// full device) and says so, with exit status 1.
TEST(EveryProgram, WriteError)
{
#ifndef __linux__
    GTEST_SKIP() << "no /dev/full on this system";
#endif
    const struct {
        std::string program;
        std::string input;
        std::vector<std::string> args{};
    } cases[] = {
        {"quadroots", "1 -3 2"},
        {"culprit_bits", ""},
        {"culprit_flags", ""},
        {"sort", "1 a 1 1"},
        {"towers", "63"}, // writes for ever, unless it stops at the first failed write
        {"towers", "3"},  // few enough moves that only the check at the end sees the failure
        {"sort_ten", "1 2 3 4 5 6 7 8 9 10"},
        {"series40", ""},
        {"Score", "A"},
        {"Test", ""},
        {"Test", "", {std::string(65536, 'x')}}, // fails inside printf, not at the final flush
        {"powers", "2 5"},
        {"strip_char", "ab\na\n"},
    };
    for (const auto& [program, input, args] : cases) {
        SCOPED_TRACE(program);
        Options options;
        options.stdout_to_dev_full = true;
        options.args = args;
        expect_failure(run(program, input, options), "", program + ": write error");
    }
}
