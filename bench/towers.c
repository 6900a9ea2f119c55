/* Baseline for the benchmark: the towers algorithm in plain C, with the same
   printf and scanf calls. */
#include <stdio.h>

static void move(char from, char to)
{
    printf("\n%c --> %c", from, to);
}

static void hanoi(int n, char one, char two, char three)
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
    if (scanf("%d", &n) != 1)
        return 1;
    printf("\nThe step to moving %3d disks:\n", n);
    hanoi(n, 'A', 'B', 'C');
    return 0;
}
