// sort_ten: sorts ten integers into ascending order with a selection sort.
// Reads the ten integers from standard input, separated by white space; writes
// them on one line, each followed by a space.
#include <charconv>
#include <cstdio>
#include <cstring>

namespace {

enum class Read { ok, not_a_number, out_of_range };

// Reads the next white-space-separated word as an int. (A plain "%d" read is
// undefined for numbers that int cannot hold, and in practice wraps them.)
Read read_int(int& value)
{
    char word[24]; // any int fits in 11 characters: a longer word is out of range
    if (std::scanf("%23s", word) != 1)
        return Read::not_a_number;
    const char* first = word[0] == '+' && word[1] != '-' ? word + 1 : word;
    const char* last = word + std::strlen(word);
    const auto [end, error] = std::from_chars(first, last, value);
    if (error == std::errc::invalid_argument || end != last)
        return Read::not_a_number;
    if (error == std::errc::result_out_of_range || last - word == 23)
        return Read::out_of_range;
    return Read::ok;
}

// Sorts the first n elements of a into ascending order.
void sort(int* a, int n)
{
    for (int i = 0; i < n - 1; ++i) {
        int k = i; // the smallest element of a[i..n-1] so far
        for (int j = i + 1; j < n; ++j)
            if (a[j] < a[k])
                k = j;
        const int t = a[k];
        a[k] = a[i];
        a[i] = t;
    }
}

} // namespace

int main()
{
    std::puts("Enter th array ");
    int a[10];
    for (int i = 0; i < 10; ++i) {
        const Read read = read_int(a[i]);
        if (read == Read::not_a_number) {
            std::fprintf(stderr, "sort_ten: expected 10 integers, read %d\n", i);
            return 1;
        }
        if (read == Read::out_of_range) {
            std::fprintf(stderr, "sort_ten: number %d is out of range\n", i + 1);
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
