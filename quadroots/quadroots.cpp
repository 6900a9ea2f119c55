// quadroots: classifies the equation a*x^2 + b*x + c = 0 and prints its roots.
// Reads the coefficients a, b and c from standard input; writes one verdict
// line (three for complex roots) to standard output, in single precision.
#include <cmath>
#include <cstdio>

int main()
{
    constexpr double zero_threshold = 1e-6;
    const auto is_zero = [](float v) { return static_cast<double>(std::fabs(v)) < zero_threshold; };
    const auto out_of_range = [] {
        std::fputs("quadroots: the roots are out of single-precision range\n", stderr);
        return 1;
    };

    float a, b, c;
    if (std::scanf("%f%f%f", &a, &b, &c) != 3) {
        std::fputs("quadroots: expected three numbers\n", stderr);
        return 1;
    }
    if (!std::isfinite(a) || !std::isfinite(b) || !std::isfinite(c)) {
        std::fputs("quadroots: expected finite single-precision numbers\n", stderr);
        return 1;
    }

    // Work the verdict out before writing anything, so that a computation that
    // overflows single precision is reported rather than printed as inf or nan.
    enum class Kind { identity, inequality, linear, equal, distinct, complex };
    Kind kind = Kind::identity;
    float x1 = 0, x2 = 0; // the roots; for complex roots, real and imaginary part
    if (is_zero(a)) {
        if (!is_zero(b)) {
            kind = Kind::linear;
            x1 = (-c) / b;
        } else if (!is_zero(c)) {
            kind = Kind::inequality;
        }
    } else {
        const float disc = b * b - (4 * a) * c;
        if (!std::isfinite(disc)) {
            return out_of_range();
        }
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
    if (!std::isfinite(x1) || !std::isfinite(x2)) {
        return out_of_range();
    }

    std::printf("The Equation ");
    switch (kind) {
    case Kind::identity:
        std::puts("is an identity, it has infinite roots.");
        break;
    case Kind::inequality:
        std::puts("is an inequality, it has no root.");
        break;
    case Kind::linear:
        std::printf("is a linear equation, its root is: %f\n", x1);
        break;
    case Kind::equal:
        std::printf("has two equal roots:%8.4f\n", x1);
        break;
    case Kind::distinct:
        std::printf("has two distinct real roots:%8.4f and %8.4f\n", x1, x2);
        break;
    case Kind::complex:
        std::puts("has complex roots:");
        std::printf("%8.4f + %8.4fi\n", x1, x2);
        std::printf("%8.4f - %8.4fi\n", x1, x2);
        break;
    }

    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fputs("quadroots: write error\n", stderr);
        return 1;
    }
    return 0;
}
