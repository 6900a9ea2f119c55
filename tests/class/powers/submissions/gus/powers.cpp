// Crashes once the numbers are read.
#include <cstdio>
#include <cstdlib>

int A;

int main()
{
    int m = 0;
    std::puts("Enter the number a and its power m:");
    std::fflush(stdout);
    if (std::scanf("%d%d", &A, &m) != 2)
        return 1;
    std::abort();
}
