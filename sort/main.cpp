// sort: ranks student records by score, highest first, with a selection sort.
// Reads a count, then that many records of name, ID and score (each name and
// ID a single word); writes the records one per line in ranked order.
// Shows: a struct with fixed-size character fields, and a selection sort that
// moves whole records.
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

bool read_students(std::vector<Student>& stu);

} // namespace

int main()
{
    std::vector<Student> stu;
    if (!read_students(stu))
        return 1;

    // Selection sort, highest score first: pass i finds the highest score
    // left, stu[k], and exchanges it with stu[i], even when k equals i. Among
    // equal scores the first one found is taken.
    for (std::size_t i = 0; i + 1 < stu.size(); ++i) {
        // The best record so far is followed by a pointer, not an index: with
        // an index, g++ 12 -O2 turns the comparison into a conditional move,
        // each step waiting for the one before, and the loop ran about 8 times
        // slower (clang++ makes the same code either way).
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

// Reads the rest of a record whose name has been read into `name`. Returns
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

[[noreturn]] void out_of_memory()
{
    std::fputs("sort: out of memory\n", stderr);
    std::exit(1);
}

// Reads the count and the records into stu. False, after a message, when the
// input is not that many records.
bool read_students(std::vector<Student>& stu)
{
    int n = 0;
    const Read read = read_int(n);
    if (read != Read::ok) {
        std::fputs(read == Read::out_of_range ? "sort: the number of records is out of range\n"
                                              : "sort: expected the number of records\n",
                   stderr);
        return false;
    }

    // Records that do not fit in memory end the program, with or without
    // exceptions.
    std::set_new_handler(out_of_memory);
    // The records grow with what is read. The count only serves as a hint for
    // the first reservation, capped so that a typed count alone never claims
    // much memory (untouched reserved pages cost nothing until written).
    constexpr int reserve_cap = 65536; // 3.5 MiB of records
    stu.reserve(static_cast<std::size_t>(std::clamp(n, 0, reserve_cap)));
    std::string name;
    for (int i = 0; i < n; ++i) {
        if (!read_word(name)) {
            std::fprintf(stderr, "sort: expected %d records, read %d\n", n, i);
            return false;
        }
        Student s{};
        if (const char* problem = read_record(name, s)) {
            std::fprintf(stderr, "sort: record %d: %s\n", i + 1, problem);
            return false;
        }
        stu.push_back(s);
    }
    return true;
}

} // namespace
