// quadroots: classifies the equation a*x^2 + b*x + c = 0 and prints its roots.
// Reads the coefficients a, b and c from standard input; writes one verdict
// line (three for complex roots) to standard output, in single precision.
// Shows: float arithmetic and where it rounds, a threshold for zero, and
// printf's %8.4f.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <new>
#include <string>

namespace {

float narrow(double value);
bool read_float(float& value);
[[noreturn]] void out_of_memory();

} // namespace

int main()
{
    std::set_new_handler(out_of_memory); // a word too long for memory ends the program
    constexpr double zero_threshold = 1e-6;
    const auto is_zero = [](float v) { return static_cast<double>(std::fabs(v)) < zero_threshold; };

    float a = 0;
    float b = 0;
    float c = 0;
    if (!read_float(a) || !read_float(b) || !read_float(c)) {
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
            std::fputs("quadroots: the computation overflows single precision\n", stderr);
            return 1;
        }
        if (is_zero(disc)) {
            kind = Kind::equal;
            x1 = (-b) / (a + a);
        } else if (disc > 0.0f) {
            // The square root and the divisions are taken in double precision.
            const double s = std::sqrt(static_cast<double>(disc));
            kind = Kind::distinct;
            x1 = narrow((-b + s) / (a + a));
            x2 = narrow((-b - s) / (a + a));
        } else {
            kind = Kind::complex;
            x1 = (-b) / (a + a);
            x2 = narrow(std::sqrt(static_cast<double>(-disc)) / (a + a));
        }
    }
    if (!std::isfinite(x1) || !std::isfinite(x2)) {
        std::fputs("quadroots: the roots are out of single-precision range\n", stderr);
        return 1;
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

namespace {

// Narrows a double to a float. A value beyond float's range, whose narrowing
// would be undefined, becomes infinite, as a float computation's would.
float narrow(double value)
{
    constexpr float infinity = std::numeric_limits<float>::infinity();
    if (std::fabs(value) > std::numeric_limits<float>::max())
        return value > 0 ? infinity : -infinity;
    return static_cast<float>(value);
}

} // namespace

namespace {

// Ends the program when the input does not fit in memory. (Without this, a
// C++ library built without exceptions would hand back a null pointer.)
[[noreturn]] void out_of_memory()
{
    std::fputs("quadroots: out of memory\n", stderr);
    std::exit(1);
}

} // namespace

// ---------------------------------------------------------------------------
// Reading the input. Not the lesson: these lines check that each word read is
// a whole number of the right type. The same lines stand in every program
// that reads numbers (quadroots, sort, towers, sort_ten, powers): change them
// together.

namespace {

bool is_space(int c)
{
    return c == ' ' || (c >= '\t' && c <= '\r'); // as scanf's " ": \t \n \v \f \r
}

// Reads the next white-space-separated word, however long, into `word`, a NUL
// byte included. False at the end of the input.
bool read_word(std::string& word)
{
    word.clear();
    int c = std::getchar();
    while (is_space(c))
        c = std::getchar();
    if (c == EOF)
        return false;
    while (c != EOF && !is_space(c)) {
        word.push_back(static_cast<char>(c));
        c = std::getchar();
    }
    std::ungetc(c, stdin); // the white space after the word stays unread
    return true;
}

// Reads the next word as a float, spelt as "%f" takes it: decimal or
// hexadecimal, with or without an exponent, or inf or nan. The whole word
// must be the number. (A "%f" read is undefined for numbers that float
// cannot hold, and stops quietly where a number stops.)
bool read_float(float& value)
{
    std::string word;
    if (!read_word(word))
        return false;
    char* end = nullptr;
    // Too large a number comes back infinite, and is refused by the caller.
    value = std::strtof(word.c_str(), &end);
    return end == word.c_str() + word.size(); // a NUL byte ends the number early
}

} // namespace
