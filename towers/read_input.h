// read_input.h: reading numbers from standard input, as scanf's "%d" and "%f"
// conversions read them, made safe. Each number is read as a whole word, however
// long, and converted only if the whole word is a number that its type can
// hold: "%d" is undefined for an int out of range, and both stop quietly where
// a number stops ("12abc" reads 12). Not the lesson: the same file stands in
// every program that reads numbers (quadroots, sort, towers, sort_ten, powers),
// so that each builds from its own folder alone; change every copy together.
#pragma once

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

// The program's name, for the messages below.
inline const char* reading_program = "program";

// Ends the program when the input does not fit in memory. (Without this, a
// C++ library built without exceptions would hand back a null pointer.)
[[noreturn]] inline void out_of_memory()
{
    std::fprintf(stderr, "%s: out of memory\n", reading_program);
    std::exit(1);
}

// Call first: names the program, and ends it with a message when a word read
// is too long for memory.
inline void start_reading(const char* program)
{
    reading_program = program;
    std::set_new_handler(out_of_memory);
}

inline bool is_space(int c)
{
    return c == ' ' || (c >= '\t' && c <= '\r'); // as scanf's " ": \t \n \v \f \r
}

// Reads the next white-space-separated word, however long, into `word`, a NUL
// byte included. False at the end of the input.
inline bool read_word(std::string& word)
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
// many as you like.
inline Read read_int(int& value)
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
// hexadecimal, with or without an exponent, or inf or nan. Too large a number
// comes back infinite.
inline bool to_float(const std::string& word, float& value)
{
    char* end = nullptr;
    value = std::strtof(word.c_str(), &end);
    return end == word.c_str() + word.size(); // a NUL byte ends the number early
}

// Reads the next word as a float, as to_float converts it.
inline bool read_float(float& value)
{
    std::string word;
    return read_word(word) && to_float(word, value);
}
