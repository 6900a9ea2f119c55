#include "run.h"

#include <gtest/gtest.h>

TEST(SortTen, SortsAscending)
{
    const Case cases[] = {
        {"5 3 9 1 7 2 8 4 6 0", "Enter th array \nThe Sorted array:\n0 1 2 3 4 5 6 7 8 9 \n"},
        {"-1 -5 3 0 0 2 -7 9 1 4", "Enter th array \nThe Sorted array:\n-7 -5 -1 0 0 1 2 3 4 9 \n"},
        {"4 4 4 4 4 4 4 4 4 4", "Enter th array \nThe Sorted array:\n4 4 4 4 4 4 4 4 4 4 \n"},
        {"9\n8\n7\n6\n5\n4\n3\n2\n1\n+0\n",
         "Enter th array \nThe Sorted array:\n0 1 2 3 4 5 6 7 8 9 \n"},
        {"2147483647 -2147483648 0 1 -1 2 -2 3 -3 00",
         "Enter th array \nThe Sorted array:\n"
         "-2147483648 -3 -2 -1 0 0 1 2 3 2147483647 \n"},
        // Only ten are read.
        {"1 2 3 4 5 6 7 8 9 10 -11", "Enter th array \nThe Sorted array:\n1 2 3 4 5 6 7 8 9 10 \n"},
    };
    expect_outputs("sort_ten", cases);
}

TEST(SortTen, BadInput)
{
    const char* prompt = "Enter th array \n";
    const BadCase cases[] = {
        {"", prompt, "sort_ten: expected 10 integers, read 0"},
        {"1 2 3", prompt, "sort_ten: expected 10 integers, read 3"},
        {"1 2 x 4 5 6 7 8 9 10", prompt, "sort_ten: expected 10 integers, read 2"},
        {"1 2 3.5 4 5 6 7 8 9 10", prompt, "sort_ten: expected 10 integers, read 2"},
        {"1 2 3 2147483648 5 6 7 8 9 10", prompt, "sort_ten: number 4 is out of range"},
        {"-2147483649 2 3 4 5 6 7 8 9 10", prompt, "sort_ten: number 1 is out of range"},
        {"1 99999999999999999999999999999999 3 4 5 6 7 8 9 10", prompt,
         "sort_ten: number 2 is out of range"},
    };
    expect_errors("sort_ten", cases);
}
