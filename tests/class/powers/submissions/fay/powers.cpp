// Never ends: the loop waits for a change that never comes.
#include <cstdio>

int A;

int power(int m)
{
    volatile int done = 0;
    while (done == 0) {
    }
    return m;
}

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
