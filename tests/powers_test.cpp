#include "run.h"

#include <gtest/gtest.h>

namespace {

const std::string prompt = "Enter the number a and its power m:\n";

} // namespace

TEST(Powers, ProductAndPower)
{
    const Case cases[] = {
        {"2 5", prompt + "2*3=6\n2**5=32\n"},
        {"-4 2", prompt + "-4*3=-12\n-4**2=16\n"},
        {"-2 3", prompt + "-2*3=-6\n-2**3=-8\n"},
        {"7 1", prompt + "7*3=21\n7**1=7\n"},
        {"5 0", prompt + "5*3=15\n5**0=1\n"},
        {"0 0", prompt + "0*3=0\n0**0=1\n"},
        {"0 9", prompt + "0*3=0\n0**9=0\n"},
        {"+3\n4", prompt + "3*3=9\n3**4=81\n"},
        // The largest results an int holds.
        {"2 30", prompt + "2*3=6\n2**30=1073741824\n"},
        {"-2 31", prompt + "-2*3=-6\n-2**31=-2147483648\n"},
        {"46340 2", prompt + "46340*3=139020\n46340**2=2147395600\n"},
        {"715827882 1", prompt + "715827882*3=2147483646\n715827882**1=715827882\n"},
        {"-715827882 1", prompt + "-715827882*3=-2147483646\n-715827882**1=-715827882\n"},
        // 1 and -1 stay whole for any power, and a huge one costs no time.
        {"1 2147483647", prompt + "1*3=3\n1**2147483647=1\n"},
        {"-1 2147483647", prompt + "-1*3=-3\n-1**2147483647=-1\n"},
        {"-1 -4", prompt + "-1*3=-3\n-1**-4=1\n"},
        {"1 -7", prompt + "1*3=3\n1**-7=1\n"},
    };
    expect_outputs("powers", cases);
}

TEST(Powers, BadInput)
{
    const BadCase cases[] = {
        {"", prompt, "powers: expected two integers"},
        {"2", prompt, "powers: expected two integers"},
        {"two 5", prompt, "powers: expected two integers"},
        {"2 5.0", prompt, "powers: expected two integers"},
        {"2147483648 1", prompt, "powers: the numbers must fit in an int"},
        {"2 -2147483649", prompt, "powers: the numbers must fit in an int"},
        // Results beyond int are refused, never wrapped: nothing but the prompt.
        {"715827883 1", prompt, "powers: 715827883*3 does not fit in an int"},
        {"-715827883 0", prompt, "powers: -715827883*3 does not fit in an int"},
        {"2 31", prompt, "powers: 2**31 does not fit in an int"},
        {"46341 2", prompt, "powers: 46341**2 does not fit in an int"},
        {"-3 2000000000", prompt, "powers: -3**2000000000 does not fit in an int"},
        // Negative powers of anything but 1 and -1 are fractions; of 0, undefined.
        {"2 -1", prompt, "powers: 2**-1 is not a whole number"},
        {"0 -1", prompt, "powers: 0**-1 is not a whole number"},
    };
    expect_errors("powers", cases);
}
