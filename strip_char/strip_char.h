// The string operations that the strip_char program is built from, each in a
// module of its own.
#pragma once

// Prompts for and reads one line of at most 79 bytes into str, which holds
// 80 bytes, and consumes the newline after it. Exits the program with a
// message on stderr if there is no line, or the line is longer or holds a NUL.
void enter_string(char* str);

// Deletes every occurrence of c from the string in str.
void delete_string(char* str, char c);

// Writes the string in str and a newline. It takes char*, not const char*,
// as a main module written to the same interface declares it: C++ links the
// two as different functions.
void print_string(char* str);
