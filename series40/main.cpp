// series40: prints the first forty Fibonacci numbers, 1, 1, 2, 3, 5, ...
// Reads nothing; writes the numbers on one line, each followed by a space, and
// no newline at the end.
// Shows: an array filled from its own earlier elements, and printf's length
// modifiers: %d for an int, %ld for a long.
#include <cstdio>

int main()
{
    // long is 64 bits on Linux and macOS but 32 on Windows; the fortieth term,
    // 102334155, fits in either.
    long f[40];
    f[0] = 1;
    f[1] = 1;
    // %d takes an int: the two seeds are passed as int, not as long.
    std::printf("%d %d ", static_cast<int>(f[0]), static_cast<int>(f[1]));
    for (int i = 2; i < 40; ++i) {
        f[i] = f[i - 1] + f[i - 2];
        std::printf("%ld ", f[i]);
    }

    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fputs("series40: write error\n", stderr);
        return 1;
    }
    return 0;
}
