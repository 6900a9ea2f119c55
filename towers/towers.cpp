// towers: lists the moves that carry a tower of disks from peg A to peg C by
// way of peg B, never putting a larger disk on a smaller one. Reads the number
// of disks (0 to 63) from standard input; writes one move per line.
// Shows: recursion. To move n disks, move n - 1 out of the way, move the
// largest, and move the n - 1 back on top of it.
// read_input.h reads the number as "%d" does, made safe: a whole word, no overflow.
#include "read_input.h"

#include <cstdio>
#include <cstdlib>

// Writes one move. A tall tower writes for ages: stop at the first write that fails.
void move(char from, char to)
{
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

int main()
{
    start_reading("towers");
    std::printf("\nInput the number of disks:");
    std::fflush(stdout); // the prompt shows before the program waits for input
    // 63 disks take 2^63 - 1 moves, longer than anyone waits, 63 calls deep.
    constexpr int max_disks = 63;
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
