// A student's main module of strip_char, linked with the project's three modules.
#include <cstdio>

void enter_string(char* str);
void delete_string(char* str, char c);
void print_string(char* str);

int main()
{
    char str[80];
    char c = 0;
    enter_string(str);
    if (std::scanf("%c", &c) != 1)
        return 1;
    delete_string(str, c);
    print_string(str);
    return 0;
}
