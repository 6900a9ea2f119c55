// A right towers in C++ with iostreams, as a student writes it.
#include <iomanip>
#include <iostream>

void move(char from, char to)
{
    std::cout << '\n' << from << " --> " << to;
}

void hanoi(int n, char one, char two, char three)
{
    if (n == 1) {
        move(one, three);
        return;
    }
    hanoi(n - 1, one, three, two);
    move(one, three);
    hanoi(n - 1, two, one, three);
}

int main()
{
    int n = 0;
    std::cout << "\nInput the number of disks:";
    std::cin >> n;
    std::cout << "\nThe step to moving " << std::setw(3) << n << " disks:\n";
    hanoi(n, 'A', 'B', 'C');
}
