/* A right towers in C, as a student writes it. */
#include <stdio.h>

void move(char from, char to)
{
    printf("\n%c --> %c", from, to);
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

int main(void)
{
    int n;
    printf("\nInput the number of disks:");
    scanf("%d", &n);
    printf("\nThe step to moving %3d disks:\n", n);
    hanoi(n, 'A', 'B', 'C');
    return 0;
}
