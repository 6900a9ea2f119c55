// powers: prints a number times 3, and the number raised to a power. The power
// comes from power(), a separately compiled module that reads its base from the
// global A. Reads the number and the power (two integers) from standard input;
// writes two lines.
// Shows: separate compilation. The two modules share a declaration in
// powers.h, a global variable defined here, and a function defined in power.cpp.
// read_input.h reads each number as "%d" does, made safe: a whole word, no overflow.
#include "powers.h"
#include "read_input.h"

#include <cerrno>
#include <cstdio>
#include <limits>

int A; // the number read, shared with power()

int main()
{
    start_reading("powers");
    const int b = 3;
    std::puts("Enter the number a and its power m:");
    std::fflush(stdout); // the prompt shows before the program waits for input
    int m = 0;
    Read read = read_int(A);
    if (read == Read::ok)
        read = read_int(m);
    if (read == Read::missing || read == Read::not_a_number) {
        std::fputs("powers: expected two integers\n", stderr);
        return 1;
    }
    if (read == Read::out_of_range) {
        std::fputs("powers: the numbers must fit in an int\n", stderr);
        return 1;
    }

    // Both results are worked out before either is written, so that a result
    // that does not fit in an int leaves no half answer behind.
    const long long product = static_cast<long long>(A) * b;
    if (product < std::numeric_limits<int>::min() || product > std::numeric_limits<int>::max()) {
        std::fprintf(stderr, "powers: %d*%d does not fit in an int\n", A, b);
        return 1;
    }
    const int c = static_cast<int>(product);
    errno = 0;
    const int d = power(m);
    if (errno == EDOM) {
        std::fprintf(stderr, "powers: %d**%d is not a whole number\n", A, m);
        return 1;
    }
    if (errno == ERANGE) {
        std::fprintf(stderr, "powers: %d**%d does not fit in an int\n", A, m);
        return 1;
    }

    std::printf("%d*%d=%d\n", A, b, c);
    std::printf("%d**%d=%d\n", A, m, d);

    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fputs("powers: write error\n", stderr);
        return 1;
    }
    return 0;
}
