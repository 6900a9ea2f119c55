// Takes all it can: processes, memory, disk.
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

int main()
{
    for (int i = 0; i < 200; i++)
        if (fork() == 0) {
            sleep(30);
            _exit(0);
        }
    signal(SIGXFSZ, SIG_IGN);
    const char* home = getenv("HOME");
    char path[4096];
    snprintf(path, sizeof path, "%s/bomb", home ? home : "/tmp");
    if (FILE* f = fopen(path, "wb")) {
        static char block[1 << 20];
        for (int i = 0; i < 200; i++)
            fwrite(block, 1, sizeof block, f);
        fclose(f);
    }
    for (long total = 0; total < 4096; total += 64) {
        char* p = new char[64 << 20];
        memset(p, 1, 64 << 20);
    }
    return 0;
}
