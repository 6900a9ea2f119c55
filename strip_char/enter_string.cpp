// enter_string: reads the string for strip_char, one line of input.
#include "strip_char.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Says why the line cannot be used, after the prompt, and ends the program.
[[noreturn]] void refuse(const char* why)
{
    std::fprintf(stderr, "strip_char: %s\n", why);
    std::exit(1);
}

} // namespace

void enter_string(char* str)
{
    std::puts("Enter a string, and on the next line the character to delete:");
    std::fflush(stdout); // the prompt shows before the program waits for input
    // At most 79 bytes, so that the string and its NUL fit in 80 bytes.
    int length = 0;
    const int got = std::scanf("%79[^\n]%n", str, &length);
    if (got == EOF)
        refuse("expected a string");
    if (got == 0) // an empty line
        str[0] = '\0';
    // A NUL byte would end the string early and lose the rest of the line.
    if (std::strlen(str) != static_cast<std::size_t>(length))
        refuse("the string holds a NUL byte");
    // The line must end here; the rest of a longer line is never cut off silently.
    char next = '\n';
    if (std::scanf("%c", &next) == 1 && next != '\n')
        refuse("the string is longer than 79 bytes");
}
