// sort: ranks student records by score, highest first, with a selection sort. Reads
// a count, then that many records of name, ID and score, each a single word; writes
// the records one per line in ranked order.
// Shows: a struct with fixed-size character fields, and a selection sort of whole records.
// read_input.h reads each word whole and each number as "%d" or "%f" does, made safe.
#include "read_input.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

struct Student {
    char szName[30]; // at most 29 bytes
    char szID[20];   // at most 19 bytes
    float fScore;
};

bool read_students(std::vector<Student>& stu);

int main()
{
    start_reading("sort");
    std::vector<Student> stu;
    if (!read_students(stu))
        return 1;

    // Selection sort, highest score first: pass i finds the highest score left, stu[k] (the
    // first found among equals), and exchanges it with stu[i], even when k equals i.
    for (std::size_t i = 0; i + 1 < stu.size(); ++i) {
        std::size_t k = i;
        for (std::size_t j = i + 1; j < stu.size(); ++j)
            if (stu[j].fScore > stu[k].fScore)
                k = j;
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

// Reads the count and the records; false, after a message, when they are not that.
bool read_students(std::vector<Student>& stu)
{
    int n = 0;
    if (const Read read = read_int(n); read != Read::ok) {
        std::fprintf(stderr, "sort: %s\n",
                     read == Read::out_of_range ? "the number of records is out of range"
                                                : "expected the number of records");
        return false;
    }
    stu.reserve(static_cast<std::size_t>(std::clamp(n, 0, 65536))); // no more: n is but a hint
    std::string name, id, score;
    for (int i = 0; i < n; ++i) {
        if (!read_word(name)) {
            std::fprintf(stderr, "sort: expected %d records, read %d\n", n, i);
            return false;
        }
        Student s{};
        const char* problem = nullptr; // the first check that fails, in this order
        if (!read_word(id) || !read_word(score))
            problem = "expected a name, an ID and a score";
        else if (name.size() >= sizeof s.szName)
            problem = "name longer than 29 bytes";
        else if (id.size() >= sizeof s.szID)
            problem = "ID longer than 19 bytes";
        else if ((name + id).find('\0') != name.npos)
            problem = "name or ID holds a NUL byte";
        else if (!to_float(score, s.fScore))
            problem = "score is not a number";
        else if (!std::isfinite(s.fScore))
            problem = "score is not a finite number";
        if (problem != nullptr) {
            std::fprintf(stderr, "sort: record %d: %s\n", i + 1, problem);
            return false;
        }
        std::memcpy(s.szName, name.c_str(), name.size() + 1);
        std::memcpy(s.szID, id.c_str(), id.size() + 1);
        stu.push_back(s);
    }
    return true;
}
