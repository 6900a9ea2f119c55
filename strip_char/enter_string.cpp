// enter_string: reads the string for strip_char, one line of input.
#include "strip_char.h"

#include <cstdio>
#include <cstdlib>

void enter_string(char* str)
{
    std::puts("Enter a string, and on the next line the character to delete:");
    // At most 79 characters, so that the string and its NUL fit in 80 bytes.
    const int got = std::scanf("%79[^\n]", str);
    if (got == EOF) {
        std::fputs("strip_char: expected a string\n", stderr);
        std::exit(1);
    }
    if (got == 0) // an empty line
        str[0] = '\0';
    // The line must end here; the rest of a longer line is never cut off silently.
    const int next = std::getchar();
    if (next != '\n' && next != EOF) {
        std::fputs("strip_char: the string is longer than 79 characters\n", stderr);
        std::exit(1);
    }
}
