// His main module, in his folder; his power module came later, as a file of his name.
#include <cstdio>

int A;
int power(int m);

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
