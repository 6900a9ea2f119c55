// Test: lists its own command line. Reads nothing; writes how many entries the
// command line has, then each entry with its index, starting with entry 0, the
// name the program was started by. No newline at the end.
// Shows: argc and argv, the command line as the program receives it.
#include <cstdio>

int main(int argc, char** argv)
{
    std::printf("Total parameter are: %d\n", argc);
    for (int i = 0; i < argc; ++i)
        std::printf("\nargv[%d]= %s", i, argv[i]);

    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fputs("Test: write error\n", stderr);
        return 1;
    }
    return 0;
}
