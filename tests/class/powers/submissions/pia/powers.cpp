// The whole program with iostreams.
#include <iostream>

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
    std::cout << "Enter the number a and its power m:\n";
    if (!(std::cin >> A >> m))
        return 1;
    std::cout << A << "*3=" << A * 3 << '\n';
    std::cout << A << "**" << m << '=' << power(m) << '\n';
    return 0;
}
