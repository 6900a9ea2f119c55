// sort: ranks student records by score, highest first, with a selection sort.
// Reads a count, then that many records of name, ID and score (each name and
// ID a single word); writes the records one per line in ranked order.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

struct Student {
    char szName[30]; // at most 29 bytes
    char szID[20];   // at most 19 bytes
    float fScore;
};

namespace {

// Reads the next white-space-separated word, however long, into `word`.
// False at the end of the input.
bool read_word(std::string& word)
{
    char part[64];
    int first = 0;
    int last = 0;
    word.clear();
    if (std::scanf(" %n%63[^ \t\n\v\f\r]%n", &first, part, &last) != 1)
        return false;
    word.append(part, static_cast<std::size_t>(last - first)); // a NUL byte included
    while (last - first == 63 && std::scanf("%n%63[^ \t\n\v\f\r]%n", &first, part, &last) == 1)
        word.append(part, static_cast<std::size_t>(last - first));
    return true;
}

enum class Read { ok, missing, not_a_number, out_of_range };

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

// Converts a whole word to a float, spelt as "%f" takes it: decimal or
// hexadecimal, with or without an exponent, or inf or nan. (A "%f" read is
// undefined for numbers that float cannot hold, and stops quietly where a
// number stops.) Too large a number comes back infinite.
bool to_float(const std::string& word, float& value)
{
    char* end = nullptr;
    value = std::strtof(word.c_str(), &end);
    return end == word.c_str() + word.size(); // a NUL byte ends the number early
}

// Reads the rest of a record whose name has been read into `s`. Returns
// nothing when it is a record, else what is wrong with it.
const char* read_record(const std::string& name, Student& s)
{
    std::string id;
    std::string score;
    if (!read_word(id) || !read_word(score))
        return "expected a name, an ID and a score";
    if (name.size() >= sizeof s.szName)
        return "name longer than 29 bytes";
    if (id.size() >= sizeof s.szID)
        return "ID longer than 19 bytes";
    if (name.find('\0') != std::string::npos || id.find('\0') != std::string::npos)
        return "name or ID holds a NUL byte";
    if (!to_float(score, s.fScore))
        return "score is not a number";
    if (!std::isfinite(s.fScore))
        return "score is not a finite number";
    std::memcpy(s.szName, name.c_str(), name.size() + 1);
    std::memcpy(s.szID, id.c_str(), id.size() + 1);
    return nullptr;
}

} // namespace

int main()
{
    int n = 0;
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
    try {
        stu.reserve(static_cast<std::size_t>(std::clamp(n, 0, reserve_cap)));
        std::string name;
        for (int i = 0; i < n; ++i) {
            if (!read_word(name)) {
                std::fprintf(stderr, "sort: expected %d records, read %d\n", n, i);
                return 1;
            }
            Student s{};
            if (const char* problem = read_record(name, s)) {
                std::fprintf(stderr, "sort: record %d: %s\n", i + 1, problem);
                return 1;
            }
            stu.push_back(s);
        }
    } catch (const std::bad_alloc&) {
        std::fputs("sort: out of memory\n", stderr);
        return 1;
    }

    // Selection sort, highest score first. Among equal scores the first one
    // found is taken, and the exchange is made even when k equals i. The
    // record with the highest score so far, stu[k], is followed by a pointer:
    // indexing it anew for every comparison makes the sort a third slower.
    for (std::size_t i = 0; i + 1 < stu.size(); ++i) {
        const Student* top = &stu[i];
        for (std::size_t j = i + 1; j < stu.size(); ++j)
            if (stu[j].fScore > top->fScore)
                top = &stu[j];
        const auto k = static_cast<std::size_t>(top - stu.data());
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
