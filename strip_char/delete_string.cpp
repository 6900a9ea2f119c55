// delete_string: deletes a character from a string, for strip_char.
#include "strip_char.h"

#include <algorithm>
#include <cstring>

void delete_string(char* str, char c)
{
    // std::remove closes the gaps and returns the new end of the string.
    char* const end = std::remove(str, str + std::strlen(str), c);
    *end = '\0';
}
