// Score: answers a letter grade with the band of scores it stands for.
// Reads one character, the very first of the input, white space included;
// writes the band, or "error" for anything but the capital letters A to E.
// Shows: a switch over a character, and "%c", which reads the very first
// character, white space included.
#include <cstdio>

int main()
{
    std::printf("Enter Grade:");
    std::fflush(stdout); // the prompt shows before the program waits for input
    char grade = 0;
    if (std::scanf("%c", &grade) != 1) {
        std::fputs("Score: expected a grade\n", stderr);
        return 1;
    }

    switch (grade) {
    case 'A':
        std::puts("90~100");
        break;
    case 'B':
        std::puts("80~89");
        break;
    case 'C':
        std::puts("70~80");
        break;
    case 'D':
        std::puts("60~69");
        break;
    case 'E':
        std::puts("<60");
        break;
    default:
        std::puts("error");
    }

    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fputs("Score: write error\n", stderr);
        return 1;
    }
    return 0;
}
