// towers: lists the moves that carry a tower of disks from peg A to peg C by
// way of peg B, never putting a larger disk on a smaller one. Reads the number
// of disks (0 to 63) from standard input; writes one move per line.
#include <charconv>
#include <cstdio>
#include <cstring>

namespace {

// The recursion is as deep as the tower is tall, and 2^n - 1 moves must still
// fit in 64 bits: taller towers are refused.
constexpr int max_disks = 63;

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

void move(char from, char to)
{
    std::printf("\n%c --> %c", from, to);
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

} // namespace

int main()
{
    std::printf("\nInput the number of disks:");
    int n;
    const Read read = read_int(n);
    if (read == Read::not_a_number) {
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
