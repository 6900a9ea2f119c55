// print_string: writes a string, for strip_char.
#include "strip_char.h"

#include <cstdio>

void print_string(char* str)
{
    std::puts(str);
}
