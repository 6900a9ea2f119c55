// A student's towers, as the README's commands build and check it.
#include <cstdio>

void move(char from, char to)
{
    std::printf("\n%c --> %c", from, to);
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
    std::printf("\nInput the number of disks:");
    if (std::scanf("%d", &n) != 1)
        return 1;
    std::printf("\nThe step to moving %3d disks:\n", n);
    if (n > 0)
        hanoi(n, 'A', 'B', 'C');
    return 0;
}
