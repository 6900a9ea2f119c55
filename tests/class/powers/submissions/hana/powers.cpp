// A main module that takes its declarations from a header of its own, in a folder.
#include <cstdio>

#include "include/mine.h"

int A;

int main()
{
    int b = 3;
    int m = 0;
    std::puts("Enter the number a and its power m:");
    if (std::scanf("%d%d", &A, &m) != 2)
        return 1;
    int c = A * b;
    std::printf("%d*%d=%d\n", A, b, c);
    int d = power(m);
    std::printf("%d**%d=%d\n", A, m, d);
    return 0;
}
