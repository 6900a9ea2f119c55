// A main module that includes the project's header.
#include "powers.h"

#include <cstdio>

int A;

int main()
{
    int m = 0;
    std::puts("Enter the number a and its power m:");
    if (std::scanf("%d%d", &A, &m) != 2)
        return 1;
    std::printf("%d*%d=%d\n", A, 3, A * 3);
    std::printf("%d**%d=%d\n", A, m, power(m));
    return 0;
}
