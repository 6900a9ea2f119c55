// The six-suspect puzzle that culprit_bits and culprit_flags solve, each with
// its own view of the suspects A to F: the six clues, and the verdict lines of
// a solution. A flag is 1 when that suspect took part in the crime.
#pragma once

#include <cstdio>

// The verdict texts, by a suspect's flag: "is not a culprit", "is a culprit".
inline constexpr const char* yes_no[2] = {"不是案犯", "是案犯"};

// True when the six flags satisfy all six clues.
constexpr bool satisfies_clues(bool A, bool B, bool C, bool D, bool E, bool F)
{
    const bool C1 = A || B;                           // A or B took part
    const bool C2 = (A && E) || (A && F) || (E && F); // at least two of A, E and F
    const bool C3 = !(A && D);                        // not both A and D
    const bool C4 = (B && C) || (!B && !C);           // B and C both, or neither
    const bool C5 = (C && !D) || (!C && D);           // exactly one of C and D
    const bool C6 = (!D && !E) || D;                  // if D did not, E did not either
    return C1 && C2 && C3 && C4 && C5 && C6;
}

// Writes a verdict line per suspect, A to F.
inline void print_verdicts(bool A, bool B, bool C, bool D, bool E, bool F)
{
    std::printf("A%s\n", yes_no[A]);
    std::printf("B%s\n", yes_no[B]);
    std::printf("C%s\n", yes_no[C]);
    std::printf("D%s\n", yes_no[D]);
    std::printf("E%s\n", yes_no[E]);
    std::printf("F%s\n", yes_no[F]);
}
