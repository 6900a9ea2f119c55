// sort_ten: sorts ten integers into ascending order with a selection sort.
// Reads the ten integers from standard input, separated by white space; writes
// them on one line, each followed by a space.
// Shows: passing an array to a function as a pointer and a count, and a
// selection sort.
// read_input.h reads each number as "%d" does, made safe: a whole word, no overflow.
#include "read_input.h"

#include <cstdio>

// Sorts the first n elements of a into ascending order.
void sort(int* a, int n)
{
    for (int i = 0; i < n - 1; ++i) {
        int k = i; // the index of the smallest element of a[i..n-1] so far
        for (int j = i + 1; j < n; ++j)
            if (a[j] < a[k])
                k = j;
        const int t = a[k];
        a[k] = a[i];
        a[i] = t;
    }
}

int main()
{
    start_reading("sort_ten");
    std::puts("Enter th array ");
    std::fflush(stdout); // the prompt shows before the program waits for input
    int a[10];
    for (int i = 0; i < 10; ++i) {
        const Read read = read_int(a[i]);
        if (read == Read::missing) {
            std::fprintf(stderr, "sort_ten: expected 10 integers, read %d\n", i);
            return 1;
        }
        if (read != Read::ok) {
            std::fprintf(stderr, "sort_ten: number %d is %s\n", i + 1,
                         read == Read::not_a_number ? "not an integer" : "out of range");
            return 1;
        }
    }

    sort(a, 10);
    std::puts("The Sorted array:");
    for (const int x : a)
        std::printf("%d ", x);
    std::putchar('\n');

    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fputs("sort_ten: write error\n", stderr);
        return 1;
    }
    return 0;
}
