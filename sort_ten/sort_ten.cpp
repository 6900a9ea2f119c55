// sort_ten: sorts ten integers into ascending order with a selection sort.
// Reads the ten integers from standard input, separated by white space; writes
// them on one line, each followed by a space.
// Shows: passing an array to a function as a pointer and a count, and a
// selection sort.
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

namespace {

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

enum class Read { ok, missing, not_a_number, out_of_range };
Read read_int(int& value);
[[noreturn]] void out_of_memory();

} // namespace

int main()
{
    std::set_new_handler(out_of_memory); // a word too long for memory ends the program
    std::puts("Enter th array ");
    std::fflush(stdout); // the prompt shows before the program waits for input
    int a[10];
    for (int i = 0; i < 10; ++i) {
        const Read read = read_int(a[i]);
        if (read != Read::ok) {
            if (read == Read::missing)
                std::fprintf(stderr, "sort_ten: expected 10 integers, read %d\n", i);
            else if (read == Read::not_a_number)
                std::fprintf(stderr, "sort_ten: number %d is not an integer\n", i + 1);
            else
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

namespace {

// Ends the program when the input does not fit in memory. (Without this, a
// C++ library built without exceptions would hand back a null pointer.)
[[noreturn]] void out_of_memory()
{
    std::fputs("sort_ten: out of memory\n", stderr);
    std::exit(1);
}

} // namespace

// ---------------------------------------------------------------------------
// Reading the input. Not the lesson: these lines check that each word read is
// a whole number of the right type. The same lines stand in every program
// that reads numbers (quadroots, sort, towers, sort_ten, powers): change them
// together.

namespace {

bool is_space(int c)
{
    return c == ' ' || (c >= '\t' && c <= '\r'); // as scanf's " ": \t \n \v \f \r
}

// Reads the next white-space-separated word, however long, into `word`, a NUL
// byte included. False at the end of the input.
bool read_word(std::string& word)
{
    word.clear();
    int c = std::getchar();
    while (is_space(c))
        c = std::getchar();
    if (c == EOF)
        return false;
    while (c != EOF && !is_space(c)) {
        word.push_back(static_cast<char>(c));
        c = std::getchar();
    }
    std::ungetc(c, stdin); // the white space after the word stays unread
    return true;
}

// Reads the next word as an int: a sign if any, then digits, leading zeros as
// many as you like. (A plain "%d" read is undefined for numbers that int
// cannot hold, and in practice wraps them.)
Read read_int(int& value)
{
    std::string word;
    if (!read_word(word))
        return Read::missing;
    const char* first = word.data();
    const char* const last = first + word.size();
    if (word.size() > 1 && word[0] == '+' && word[1] != '-')
        ++first; // from_chars takes a minus sign only
    const auto [end, error] = std::from_chars(first, last, value);
    if (end != last || error == std::errc::invalid_argument)
        return Read::not_a_number;
    return error == std::errc::result_out_of_range ? Read::out_of_range : Read::ok;
}

} // namespace
