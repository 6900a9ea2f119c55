// Refusals that case files cannot show: a shared stdout and stderr, and a
// memory limit.
#include "run.h"

#include <gtest/gtest.h>

TEST(Refusal, MessageComesAfterThePrompt)
{
    Options options;
    options.stderr_to_stdout = true;
    const Outcome r = run("sort_ten", "1 2 x", options);
    EXPECT_EQ(r.out, "Enter th array \nsort_ten: number 3 is not an integer\n");
    EXPECT_EQ(r.status, 1);
}

TEST(Refusal, SortOutOfMemory)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer needs more address space than the limit leaves";
#elif !defined(__linux__)
    GTEST_SKIP() << "no limit on the address space here (ulimit -v)";
#endif
    // Two million records need more than 64 MiB as the vector grows.
    std::string input = "2000000\n";
    for (int i = 0; i < 2000000; ++i)
        input += "a 1 1\n";
    Options options;
    options.memory_limit_kib = 65536;
    expect_failure(run("sort", input, options), "", "sort: out of memory");
}
