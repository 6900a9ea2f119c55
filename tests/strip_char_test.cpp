#include "run.h"

#include <gtest/gtest.h>

namespace {

const std::string prompt = "Enter a string, and on the next line the character to delete:\n";

} // namespace

TEST(StripChar, DeletesEveryOccurrence)
{
    const std::string line79(79, 'x');
    const Case cases[] = {
        {"hello world\no\n", prompt + "hell wrld\n"},
        {"banana\na", prompt + "bnn\n"},
        {"banana\nz\n", prompt + "banana\n"},
        {"aaaa\na\n", prompt + "\n"},
        {"a b c\n \n", prompt + "abc\n"},
        {"\nx\n", prompt + "\n"},
        // The character is the first one after the line, whatever it is.
        {"hello\n\n", prompt + "hello\n"},
        {"hello\nlo\n", prompt + "heo\n"},
        {"Tab\there\n\t", prompt + "Tabhere\n"},
        {line79.substr(1) + "y\nx\n", prompt + "y\n"},
        {line79 + "\ny\n", prompt + line79 + "\n"},
    };
    expect_outputs("strip_char", cases);
}

TEST(StripChar, BadInput)
{
    const BadCase cases[] = {
        {"", prompt, "strip_char: expected a string"},
        {"hello", prompt, "strip_char: expected a character to delete"},
        {"hello\n", prompt, "strip_char: expected a character to delete"},
        {std::string(80, 'x') + "\nx\n", prompt,
         "strip_char: the string is longer than 79 characters"},
        {std::string(500, 'x'), prompt, "strip_char: the string is longer than 79 characters"},
    };
    expect_errors("strip_char", cases);
}
