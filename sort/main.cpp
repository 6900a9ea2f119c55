// sort: ranks student records by score, highest first, with a selection sort.
// Reads a count, then that many records of name, ID and score (each name and
// ID a single word); writes the records one per line in ranked order.
#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

struct Student {
    char szName[30]; // at most 29 characters
    char szID[20];   // at most 19 characters
    float fScore;
};

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

// True when the word just read ends there, at white space or the end of input,
// rather than going on past the width of its field.
bool word_ended()
{
    const int next = std::getchar();
    std::ungetc(next, stdin);
    return next == EOF || std::isspace(next);
}

} // namespace

int main()
{
    int n;
    const Read read = read_int(n);
    if (read != Read::ok) {
        std::fputs(read == Read::out_of_range ? "sort: the number of records is out of range\n"
                                              : "sort: expected the number of records\n",
                   stderr);
        return 1;
    }

    // The records grow with what is read. The count only serves as a hint for
    // the first reservation, capped so that a typed count alone never claims
    // much memory (untouched reserved pages cost nothing until written).
    constexpr int reserve_cap = 65536; // 3.5 MiB of records
    std::vector<Student> stu;
    stu.reserve(static_cast<std::size_t>(std::clamp(n, 0, reserve_cap)));
    for (int i = 1; i <= n; ++i) {
        Student s{};
        if (std::scanf("%29s", s.szName) != 1) {
            std::fprintf(stderr, "sort: expected %d records, read %d\n", n, i - 1);
            return 1;
        }
        const char* problem = nullptr;
        if (!word_ended())
            problem = "name longer than 29 characters";
        else if (std::scanf("%19s", s.szID) != 1)
            problem = "expected a name, an ID and a score";
        else if (!word_ended())
            problem = "ID longer than 19 characters";
        else if (const int got = std::scanf("%f", &s.fScore); got != 1 || !word_ended())
            problem = got == EOF ? "expected a name, an ID and a score" : "score is not a number";
        else if (!std::isfinite(s.fScore))
            problem = "score is not a finite number";
        if (problem != nullptr) {
            std::fprintf(stderr, "sort: record %d: %s\n", i, problem);
            return 1;
        }
        stu.push_back(s);
    }

    // Selection sort, highest score first. Among equal scores the first one
    // found is taken, and the exchange is made even when k equals i. The score
    // of stu[k] is kept at hand in `best`, so no comparison has to wait for the
    // load that the previous one chose.
    for (std::size_t i = 0; i + 1 < stu.size(); ++i) {
        std::size_t k = i;
        float best = stu[i].fScore;
        for (std::size_t j = i + 1; j < stu.size(); ++j)
            if (stu[j].fScore > best) {
                k = j;
                best = stu[j].fScore;
            }
        const Student tmp = stu[k];
        stu[k] = stu[i];
        stu[i] = tmp;
    }
    for (const Student& s : stu)
        std::printf("%s %s %f\n", s.szName, s.szID, s.fScore);

    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fputs("sort: write error\n", stderr);
        return 1;
    }
    return 0;
}
