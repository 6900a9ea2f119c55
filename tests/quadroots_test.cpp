#include "run.h"

#include <gtest/gtest.h>

TEST(Quadroots, DegenerateEquations)
{
    const Case cases[] = {
        {"0 0 0", "The Equation is an identity, it has infinite roots.\n"},
        {"0 0 5", "The Equation is an inequality, it has no root.\n"},
        {"0 0 -0.0000011", "The Equation is an inequality, it has no root.\n"},
        // 1e-6 rounds to a float just below 1e-6, so it counts as zero.
        {"0 0 0.000001", "The Equation is an identity, it has infinite roots.\n"},
        {"0 1e-6 1", "The Equation is an inequality, it has no root.\n"},
        {"0 2 -4", "The Equation is a linear equation, its root is: 2.000000\n"},
        {"0 2 0", "The Equation is a linear equation, its root is: -0.000000\n"},
        {"0.0000001 1 1", "The Equation is a linear equation, its root is: -1.000000\n"},
        {"-1e-6 4 2", "The Equation is a linear equation, its root is: -0.500000\n"},
        {"0 -3 1e6", "The Equation is a linear equation, its root is: 333333.343750\n"},
    };
    expect_outputs("quadroots", cases);
}

TEST(Quadroots, EqualRoots)
{
    const Case cases[] = {
        {"1 2 1", "The Equation has two equal roots: -1.0000\n"},
        {"1 0 0", "The Equation has two equal roots: -0.0000\n"},
        {"-2 0 0", "The Equation has two equal roots:  0.0000\n"},
        {"4 -4 1", "The Equation has two equal roots:  0.5000\n"},
        // A discriminant of magnitude below 1e-6 counts as zero.
        {"1 0 1e-7", "The Equation has two equal roots: -0.0000\n"},
        {"1 0 -1e-7", "The Equation has two equal roots: -0.0000\n"},
    };
    expect_outputs("quadroots", cases);
}

TEST(Quadroots, DistinctRealRoots)
{
    const Case cases[] = {
        {"1 -3 2", "The Equation has two distinct real roots:  2.0000 and   1.0000\n"},
        {"-1 3 -2", "The Equation has two distinct real roots:  1.0000 and   2.0000\n"},
        {"2 -7 3", "The Equation has two distinct real roots:  3.0000 and   0.5000\n"},
        {"1 -1000 0", "The Equation has two distinct real roots:1000.0000 and   0.0000\n"},
        {"1 0 -2", "The Equation has two distinct real roots:  1.4142 and  -1.4142\n"},
    };
    expect_outputs("quadroots", cases);
}

TEST(Quadroots, ComplexRoots)
{
    const Case cases[] = {
        {"1 2 5", "The Equation has complex roots:\n -1.0000 +   2.0000i\n -1.0000 -   2.0000i\n"},
        // The imaginary part carries the sign of a.
        {"-1 2 -5",
         "The Equation has complex roots:\n  1.0000 +  -2.0000i\n  1.0000 -  -2.0000i\n"},
        {"1 0 1", "The Equation has complex roots:\n -0.0000 +   1.0000i\n -0.0000 -   1.0000i\n"},
    };
    expect_outputs("quadroots", cases);
}

TEST(Quadroots, BadInput)
{
    const BadCase cases[] = {
        {"", "", "quadroots: expected three numbers"},
        {"1 2", "", "quadroots: expected three numbers"},
        {"1 x 2", "", "quadroots: expected three numbers"},
        {"inf 1 1", "", "quadroots: expected finite single-precision numbers"},
        {"1 nan 1", "", "quadroots: expected finite single-precision numbers"},
        {"1 1 1e40", "", "quadroots: expected finite single-precision numbers"},
        // Finite coefficients whose computation overflows single precision.
        {"1e30 1e30 1", "", "quadroots: the roots are out of single-precision range"},
        {"1e38 1 0", "", "quadroots: the roots are out of single-precision range"},
        {"0 1e-5 3e38", "", "quadroots: the roots are out of single-precision range"},
    };
    expect_errors("quadroots", cases);
}
