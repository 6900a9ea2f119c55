// strip_char: deletes a character from a string. Reads a line (the string),
// then one character, the first on the next line; writes the string without
// that character. The work is done by enter_string, delete_string and
// print_string, separately compiled modules linked with this one.
// Shows: separate compilation. The main module knows the three operations
// only by their declarations in strip_char.h; the linker joins them.
#include "strip_char.h"

#include <cstdio>

int main()
{
    char str[80];
    char c = 0;
    enter_string(str);
    if (std::scanf("%c", &c) != 1) {
        std::fputs("strip_char: expected a character to delete\n", stderr);
        return 1;
    }
    // A byte of a longer UTF-8 character cannot be deleted on its own
    // without breaking the text: the character must be ASCII.
    if (static_cast<unsigned char>(c) > 0x7f) {
        std::fputs("strip_char: the character to delete must be an ASCII character\n", stderr);
        return 1;
    }
    delete_string(str, c);
    print_string(str);

    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fputs("strip_char: write error\n", stderr);
        return 1;
    }
    return 0;
}
