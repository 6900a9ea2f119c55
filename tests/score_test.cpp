#include "run.h"

#include <gtest/gtest.h>

TEST(Score, GradeBands)
{
    using namespace std::literals;
    const Case cases[] = {
        {"A", "Enter Grade:90~100\n"},
        {"B\n", "Enter Grade:80~89\n"},
        {"C", "Enter Grade:70~80\n"},
        {"D", "Enter Grade:60~69\n"},
        {"E", "Enter Grade:<60\n"},
        {"F", "Enter Grade:error\n"},
        {"a", "Enter Grade:error\n"},
        // The very first character counts, white space and NUL included.
        {" A", "Enter Grade:error\n"},
        {"\nA", "Enter Grade:error\n"},
        {std::string("\0A", 2), "Enter Grade:error\n"},
        {"AB", "Enter Grade:90~100\n"},
        {"\xc3\x84", "Enter Grade:error\n"},
    };
    expect_outputs("Score", cases);
}

TEST(Score, BadInput)
{
    expect_failure(run("Score", ""), "Enter Grade:", "Score: expected a grade");
}
