// culprit_bits: finds who of six suspects, A to F, took part in a crime by trying
// all 64 combinations against six clues. Reads nothing; writes a verdict line per
// suspect for every combination that satisfies all the clues.
// Shows: bit-fields. The counter's byte is read through a struct of six
// one-bit members, so that member k is bit k of the counter.
#include "puzzle.h"

#include <bit>
#include <cstdio>

// A is bit 0, B bit 1, ..., F bit 5.
struct X {
    unsigned char A : 1;
    unsigned char B : 1;
    unsigned char C : 1;
    unsigned char D : 1;
    unsigned char E : 1;
    unsigned char F : 1;
};

// Bit-field layout is up to the compiler: refuse to build if it is not the one
// the search relies on. (Only g++ can evaluate a bit_cast into bit-fields at
// compile time; Clang and MSVC lay them out the same way, as the tests show.)
static_assert(sizeof(X) == 1);
#if defined(__GNUC__) && !defined(__clang__)
static_assert([] {
    for (int k = 0; k < 6; ++k) {
        const X x = std::bit_cast<X>(static_cast<char>(1 << k));
        const int members[] = {x.A, x.B, x.C, x.D, x.E, x.F};
        for (int m = 0; m < 6; ++m)
            if (members[m] != (m == k))
                return false;
    }
    return true;
}());
#endif

int main()
{
    for (char i = 0; i <= 63; ++i) {
        const X x = std::bit_cast<X>(i); // the counter's byte, seen as six flags
        if (satisfies_clues(x.A, x.B, x.C, x.D, x.E, x.F))
            print_verdicts(x.A, x.B, x.C, x.D, x.E, x.F);
    }

    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fputs("culprit_bits: write error\n", stderr);
        return 1;
    }
    return 0;
}
