// A main module in C: the project's power() is C++, so it does not link.
#include <stdio.h>

int A;
int power(int m);

int main()
{
    int b = 3;
    int m = 0;
    puts("Enter the number a and its power m:");
    if (scanf("%d%d", &A, &m) != 2)
        return 1;
    int c = A * b;
    printf("%d*%d=%d\n", A, b, c);
    int d = power(m);
    printf("%d**%d=%d\n", A, m, d);
    return 0;
}
