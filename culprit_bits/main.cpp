// culprit_bits: finds who of six suspects, A to F, took part in a crime by trying
// all 64 combinations against six clues, each combination's counter byte viewed
// as six one-bit members. Reads nothing; writes a verdict line per suspect for
// every combination that satisfies all the clues.
#include <bit>
#include <cstdio>

// Member k is bit k of the counter: A is bit 0, B bit 1, ..., F bit 5.
struct X {
    unsigned char A : 1;
    unsigned char B : 1;
    unsigned char C : 1;
    unsigned char D : 1;
    unsigned char E : 1;
    unsigned char F : 1;
};

// Bit-field layout is up to the compiler: refuse to build if it is not the one
// the search relies on. (Clang cannot yet evaluate a bit_cast into bit-fields at
// compile time; it lays them out the same way on this platform.)
static_assert(sizeof(X) == 1);
#ifndef __clang__
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
    const char* const yes_no[2] = {"不是案犯", "是案犯"}; // is not / is a culprit

    for (char i = 0; i <= 63; ++i) {
        const X x = std::bit_cast<X>(i); // the counter's byte, seen as six flags
        const bool C1 = x.A || x.B;
        const bool C2 = (x.A && x.E) || (x.A && x.F) || (x.E && x.F);
        const bool C3 = !(x.A && x.D);
        const bool C4 = (x.B && x.C) || (!x.B && !x.C);
        const bool C5 = (x.C && !x.D) || (!x.C && x.D);
        const bool C6 = (!x.D && !x.E) || x.D;
        if (C1 && C2 && C3 && C4 && C5 && C6) {
            std::printf("A%s\n", yes_no[x.A]);
            std::printf("B%s\n", yes_no[x.B]);
            std::printf("C%s\n", yes_no[x.C]);
            std::printf("D%s\n", yes_no[x.D]);
            std::printf("E%s\n", yes_no[x.E]);
            std::printf("F%s\n", yes_no[x.F]);
        }
    }

    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fputs("culprit_bits: write error\n", stderr);
        return 1;
    }
    return 0;
}
