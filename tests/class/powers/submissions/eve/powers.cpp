// Does not compile: a semicolon missing.
#include <cstdio>

int A;

int main()
{
    int m = 0
    std::puts("Enter the number a and its power m:");
    return 0;
}
