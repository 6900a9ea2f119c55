// quadroots: classifies the equation a*x^2 + b*x + c = 0 and prints its roots.
// Reads the coefficients a, b and c from standard input; writes one verdict
// line (three for complex roots) to standard output, in single precision.
// Shows: float arithmetic and where it rounds, a threshold for zero, and
// printf's %8.4f.
// read_input.h reads each number as "%f" does, made safe: a whole word, no overflow.
#include "read_input.h"

#include <cmath>
#include <cstdio>

int main()
{
    start_reading("quadroots");
    float a = 0, b = 0, c = 0;
    if (!read_float(a) || !read_float(b) || !read_float(c)) {
        std::fputs("quadroots: expected three numbers\n", stderr);
        return 1;
    }
    if (!std::isfinite(a) || !std::isfinite(b) || !std::isfinite(c)) {
        std::fputs("quadroots: expected finite single-precision numbers\n", stderr);
        return 1;
    }
    constexpr double zero_threshold = 1e-6;
    const auto is_zero = [](float v) { return static_cast<double>(std::fabs(v)) < zero_threshold; };

    // Work the verdict out before writing anything, so that a computation that
    // overflows single precision is reported rather than printed as inf or nan.
    enum class Kind { identity, inequality, linear, equal, distinct, complex };
    Kind kind = Kind::identity;
    float x1 = 0, x2 = 0; // the roots; for complex roots, real and imaginary part
    if (is_zero(a)) {
        if (!is_zero(b)) {
            kind = Kind::linear;
            x1 = (-c) / b; // c negated first: for c = 0 the root is -0
        } else if (!is_zero(c)) {
            kind = Kind::inequality;
        }
    } else {
        const float disc = b * b - (4 * a) * c;
        if (!std::isfinite(disc)) {
            std::fputs("quadroots: the computation overflows single precision\n", stderr);
            return 1;
        }
        // With disc finite, |b| and the square root stay below 2^64 and |a + a| is at
        // least 2e-6, so the roots below are well within float's range.
        if (is_zero(disc)) {
            kind = Kind::equal;
            x1 = (-b) / (a + a);
        } else if (disc > 0.0f) {
            // The square root and the divisions are taken in double precision.
            const double s = std::sqrt(static_cast<double>(disc));
            kind = Kind::distinct;
            x1 = static_cast<float>((-b + s) / (a + a));
            x2 = static_cast<float>((-b - s) / (a + a));
        } else {
            kind = Kind::complex;
            x1 = (-b) / (a + a);
            x2 = static_cast<float>(std::sqrt(static_cast<double>(-disc)) / (a + a));
        }
    }
    if (!std::isfinite(x1)) { // (-c) / b, for a tiny b
        std::fputs("quadroots: the roots are out of single-precision range\n", stderr);
        return 1;
    }

    std::printf("The Equation ");
    if (kind == Kind::identity)
        std::puts("is an identity, it has infinite roots.");
    else if (kind == Kind::inequality)
        std::puts("is an inequality, it has no root.");
    else if (kind == Kind::linear)
        std::printf("is a linear equation, its root is: %f\n", x1);
    else if (kind == Kind::equal)
        std::printf("has two equal roots:%8.4f\n", x1);
    else if (kind == Kind::distinct)
        std::printf("has two distinct real roots:%8.4f and %8.4f\n", x1, x2);
    else {
        std::puts("has complex roots:");
        std::printf("%8.4f + %8.4fi\n", x1, x2);
        std::printf("%8.4f - %8.4fi\n", x1, x2);
    }

    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fputs("quadroots: write error\n", stderr);
        return 1;
    }
    return 0;
}
