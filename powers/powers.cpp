// powers: prints a number times 3, and the number raised to a power. The power
// comes from power(), a separately compiled module that reads its base from the
// global A. Reads the number and the power (two integers) from standard input;
// writes two lines.
// Shows: separate compilation. The two modules share a declaration in
// powers.h, a global variable defined here, and a function defined in power.cpp.
#include "powers.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <new>
#include <string>

int A; // the number read, shared with power()

namespace {

enum class Read { ok, missing, not_a_number, out_of_range };
Read read_int(int& value);
[[noreturn]] void out_of_memory();

} // namespace

int main()
{
    std::set_new_handler(out_of_memory); // a word too long for memory ends the program
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

namespace {

// Ends the program when the input does not fit in memory. (Without this, a
// C++ library built without exceptions would hand back a null pointer.)
[[noreturn]] void out_of_memory()
{
    std::fputs("powers: out of memory\n", stderr);
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

// Reads the next word as an int: a sign if any, then digits, leading zeros as
// many as you like. (A plain "%d" read is undefined for numbers that int
// cannot hold, and in practice wraps them.)
Read read_int(int& value)
{
    std::string word;
    if (!read_word(word))
        return Read::missing;
    const char* first = word.data();
    const char* const last = first + word.size();
    if (word.size() > 1 && word[0] == '+' && word[1] != '-')
        ++first; // from_chars takes a minus sign only
    const auto [end, error] = std::from_chars(first, last, value);
    if (end != last || error == std::errc::invalid_argument)
        return Read::not_a_number;
    return error == std::errc::result_out_of_range ? Read::out_of_range : Read::ok;
}

} // namespace
