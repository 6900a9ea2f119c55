// culprit_flags: finds who took part in a crime among six suspects, A to F, by
// trying all 64 combinations against six clues. It reads nothing and writes one
// verdict line per suspect for every combination that satisfies all the clues.
// Each combination's six flags are taken from the counter by shift and mask.
// Shows: shifts and masks. (X >> k) & 1 is bit k of X.
#include "../culprit_bits/puzzle.h" // the same puzzle: clues and verdicts

#include <cstdio>

int main()
{
    for (char X = 0; X <= 63; ++X) {
        const bool A = X & 1;
        const bool B = (X >> 1) & 1;
        const bool C = (X >> 2) & 1;
        const bool D = (X >> 3) & 1;
        const bool E = (X >> 4) & 1;
        const bool F = (X >> 5) & 1;
        if (satisfies_clues(A, B, C, D, E, F))
            print_verdicts(A, B, C, D, E, F);
    }

    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fputs("culprit_flags: write error\n", stderr);
        return 1;
    }
    return 0;
}
