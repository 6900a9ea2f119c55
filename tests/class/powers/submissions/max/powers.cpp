// The product by 2, not 3.
#include <cstdio>

int A;

int power(int m)
{
    int d = 1;
    for (int i = 0; i < m; i++)
        d *= A;
    return d;
}

int main()
{
    int m = 0;
    std::puts("Enter the number a and its power m:");
    if (std::scanf("%d%d", &A, &m) != 2)
        return 1;
    std::printf("%d*%d=%d\n", A, 3, A * 2);
    std::printf("%d**%d=%d\n", A, m, power(m));
    return 0;
}
