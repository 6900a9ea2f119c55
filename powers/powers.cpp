// powers: prints a number times 3, and the number raised to a power. The power
// comes from power(), a separately compiled module that reads its base from the
// global A. Reads the number and the power (two integers) from standard input;
// writes two lines.
#include "powers.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <limits>

int A; // the number read, shared with power()

namespace {

enum class Read { ok, not_a_number, out_of_range };

// Reads the next white-space-separated word as an int. (A plain "%d" read is
// undefined for numbers that int cannot hold, and in practice wraps them.)
Read read_int(int& value)
{
    char word[24]; // any int fits in 11 characters: a longer word is out of range
    if (std::scanf("%23s", word) != 1)
        return Read::not_a_number;
    const char* first = word[0] == '+' && word[1] != '-' ? word + 1 : word;
    const char* last = word + std::strlen(word);
    const auto [end, error] = std::from_chars(first, last, value);
    if (error == std::errc::invalid_argument || end != last)
        return Read::not_a_number;
    if (error == std::errc::result_out_of_range || last - word == 23)
        return Read::out_of_range;
    return Read::ok;
}

} // namespace

int main()
{
    const int b = 3;
    std::puts("Enter the number a and its power m:");
    int m = 0;
    Read read = read_int(A);
    if (read == Read::ok)
        read = read_int(m);
    if (read == Read::not_a_number) {
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
