/* Baseline for the benchmark: the student ranking in plain C, with the same
   scanf and printf calls, records in a run-time-sized array. */
#include <stdio.h>

struct Student {
    char szName[30];
    char szID[20];
    float fScore;
};

int main(void)
{
    int n, i, j, k;
    if (scanf("%d", &n) != 1 || n < 1)
        return 1;
    struct Student stu[n], tmp;
    for (i = 0; i < n; i++)
        if (scanf("%29s%19s%f", stu[i].szName, stu[i].szID, &stu[i].fScore) != 3)
            return 1;
    for (i = 0; i < n - 1; i++) {
        k = i;
        for (j = i + 1; j < n; j++)
            if (stu[j].fScore > stu[k].fScore)
                k = j;
        tmp = stu[k];
        stu[k] = stu[i];
        stu[i] = tmp;
    }
    for (i = 0; i < n; i++)
        printf("%s %s %f\n", stu[i].szName, stu[i].szID, stu[i].fScore);
    return 0;
}
