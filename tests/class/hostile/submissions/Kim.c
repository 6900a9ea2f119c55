// The whole program in C.
#include <stdio.h>

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
    puts("Enter the number a and its power m:");
    if (scanf("%d%d", &A, &m) != 2)
        return 1;
    printf("%d*%d=%d\n", A, 3, A * 3);
    printf("%d**%d=%d\n", A, m, power(m));
    return 0;
}
