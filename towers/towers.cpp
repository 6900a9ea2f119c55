// towers: lists the moves that carry a tower of disks from peg A to peg C by
// way of peg B, never putting a larger disk on a smaller one. Reads the number
// of disks (0 to 63) from standard input; writes one move per line.
// Shows: recursion. To move n disks, move n - 1 out of the way, move the
// largest, and move the n - 1 back on top of it.
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

namespace {

void move(char from, char to)
{
    // A tall tower writes for ages: stop at the first write that fails.
    if (std::printf("\n%c --> %c", from, to) < 0) {
        std::fputs("towers: write error\n", stderr);
        std::exit(1);
    }
}

// Moves n disks from peg one to peg three, using peg two as the spare.
void hanoi(int n, char one, char two, char three)
{
    if (n == 1) {
        move(one, three);
        return;
    }
    hanoi(n - 1, one, three, two);
    move(one, three);
    hanoi(n - 1, two, one, three);
}

// 63 disks take 2^63 - 1 moves, which would take longer than anyone waits,
// while the recursion stays 63 calls deep. A count much larger would exhaust
// the stack long before its moves were written.
constexpr int max_disks = 63;

enum class Read { ok, missing, not_a_number, out_of_range };
Read read_int(int& value);
[[noreturn]] void out_of_memory();

} // namespace

int main()
{
    std::set_new_handler(out_of_memory); // a word too long for memory ends the program
    std::printf("\nInput the number of disks:");
    std::fflush(stdout); // the prompt shows before the program waits for input
    int n = 0;
    const Read read = read_int(n);
    if (read == Read::missing || read == Read::not_a_number) {
        std::fputs("towers: expected the number of disks\n", stderr);
        return 1;
    }
    if (read == Read::out_of_range || n < 0 || n > max_disks) {
        std::fprintf(stderr, "towers: the number of disks must be from 0 to %d\n", max_disks);
        return 1;
    }

    std::printf("\nThe step to moving %3d disks:\n", n);
    if (n > 0) // no disks, no moves
        hanoi(n, 'A', 'B', 'C');

    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fputs("towers: write error\n", stderr);
        return 1;
    }
    return 0;
}

namespace {

// Ends the program when the input does not fit in memory. (Without this, a
// C++ library built without exceptions would hand back a null pointer.)
[[noreturn]] void out_of_memory()
{
    std::fputs("towers: out of memory\n", stderr);
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
