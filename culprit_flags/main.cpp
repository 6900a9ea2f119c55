// culprit_flags: finds who took part in a crime among six suspects, A to F, by
// trying all 64 combinations against six clues. It reads nothing and writes one
// verdict line per suspect for every combination that satisfies all the clues.
// Each combination's six flags are taken from the counter by shift and mask.
#include <cstdio>

int main()
{
    const char* const yes_no[2] = {"不是案犯", "是案犯"}; // is not / is a culprit

    for (char X = 0; X <= 63; ++X) {
        const unsigned char A = X & 1;
        const unsigned char B = (X >> 1) & 1;
        const unsigned char C = (X >> 2) & 1;
        const unsigned char D = (X >> 3) & 1;
        const unsigned char E = (X >> 4) & 1;
        const unsigned char F = (X >> 5) & 1;
        const bool C1 = A || B;
        const bool C2 = (A && E) || (A && F) || (E && F);
        const bool C3 = !(A && D);
        const bool C4 = (B && C) || (!B && !C);
        const bool C5 = (C && !D) || (!C && D);
        const bool C6 = (!D && !E) || D;
        if (C1 && C2 && C3 && C4 && C5 && C6) {
            std::printf("A%s\n", yes_no[A]);
            std::printf("B%s\n", yes_no[B]);
            std::printf("C%s\n", yes_no[C]);
            std::printf("D%s\n", yes_no[D]);
            std::printf("E%s\n", yes_no[E]);
            std::printf("F%s\n", yes_no[F]);
        }
    }

    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fputs("culprit_flags: write error\n", stderr);
        return 1;
    }
    return 0;
}
