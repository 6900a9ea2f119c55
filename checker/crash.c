/* Linked by grade.cmake into each program it builds with the sanitizer for
 * undefined behaviour where that sanitizer does not catch a crash itself
 * (g++'s): on a crash, the program says what it was and where, in the shape
 * the checker reads a sanitizer's report in, the calls that led there as
 * addr2line tells them, then ends as the signal would have ended it. An
 * endless recursion, for one, is told as the stack running out, with the
 * function that called itself. Linux and glibc only. */
#define _GNU_SOURCE
#include <execinfo.h>
#include <link.h>
#include <signal.h>
#include <stdint.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#define FRAMES 64

static char alternate[1 << 16]; /* the handler's stack: the program's may be full */
static char program[4096];      /* the executable's path */
static uintptr_t stack_top;     /* near the top of the main thread's stack */
static uintptr_t base;          /* where the executable is loaded */
static char said[1 << 16];      /* what addr2line says */

static void say(const char *text, size_t length) {
    while (length > 0) {
        const ssize_t n = write(2, text, length);
        if (n <= 0)
            return;
        text += n;
        length -= (size_t)n;
    }
}

static void say_text(const char *text) { say(text, strlen(text)); }

/* `n` in base `radix` (10, or 16 with 0x first) into `out` (23 bytes or more). */
static void digits(uintptr_t n, unsigned radix, char *out) {
    char reversed[21];
    int count = 0;
    do {
        reversed[count++] = "0123456789abcdef"[n % radix];
        n /= radix;
    } while (n > 0);
    if (radix == 16) {
        *out++ = '0';
        *out++ = 'x';
    }
    while (count > 0)
        *out++ = reversed[--count];
    *out = '\0';
}

/* Runs addr2line on the offsets into the executable; its output in `said`. */
static size_t symbolize(char offsets[][23], int count) {
    int ends[2];
    if (pipe(ends) != 0)
        return 0;
    const pid_t child = fork();
    if (child == 0) {
        char *argv[FRAMES + 8] = {"addr2line", "-a", "-f", "-i", "-C", "-e", program};
        for (int i = 0; i < count; ++i)
            argv[7 + i] = offsets[i];
        argv[7 + count] = 0;
        dup2(ends[1], 1);
        close(ends[0]);
        execvp("addr2line", argv);
        _exit(127);
    }
    close(ends[1]);
    size_t length = 0;
    ssize_t n = 1;
    while (child > 0 && n > 0 && length < sizeof said) {
        n = read(ends[0], said + length, sizeof said - length);
        if (n > 0)
            length += (size_t)n;
    }
    close(ends[0]);
    if (child > 0)
        waitpid(child, 0, 0);
    return length;
}

/* addr2line's answer, address by address (each its function and its place,
 * inlined calls first), as the frames of a report: "    #N 0x0 in F FILE:LINE". */
static void say_frames(size_t length) {
    int frame = 0, function = 1;
    const char *name = "", *line = said;
    for (char *end; line < said + length; line = end + 1) {
        end = memchr(line, '\n', (size_t)(said + length - line));
        if (end == 0)
            break;
        *end = '\0';
        if (strncmp(line, "0x", 2) == 0) {
            function = 1;
            continue;
        }
        if (function) {
            name = line;
            function = 0;
            continue;
        }
        function = 1;
        char *note = strstr(line, " (");
        if (note != 0)
            *note = '\0'; /* " (discriminator N)" */
        const char *colon = strrchr(line, ':');
        if (strcmp(name, "??") == 0 || colon == 0 || strcmp(colon, ":0") == 0 || strchr(line, '?') != 0)
            continue;
        char number[23];
        digits((uintptr_t)frame++, 10, number);
        say_text("    #");
        say_text(number);
        say_text(" 0x0 in ");
        say_text(name);
        say_text(" ");
        say_text(line);
        say_text("\n");
    }
}

static void caught(int signal, siginfo_t *info, void *context) {
    (void)context;
    const uintptr_t at = (uintptr_t)info->si_addr;
    struct rlimit limit;
    const int rlimit_known = getrlimit(RLIMIT_STACK, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY;
    const int overflow = signal == SIGSEGV && at < stack_top &&
                         (rlimit_known ? stack_top - at <= limit.rlim_cur + (1u << 20) : stack_top - at <= (64u << 20));
    say_text(overflow ? "==1==ERROR: stack-overflow on address " : "==1==ERROR: SEGV on unknown address ");
    char address[23];
    digits(at, 16, address);
    say_text(address);
    say_text("\n");

    void *frames[FRAMES];
    const int count = backtrace(frames, FRAMES);
    char offsets[FRAMES][23];
    int n = 0;
    /* Past this handler and the signal's own frame: the call that crashed, then
     * the calls that led there, each a return address (one past its call). */
    for (int i = 2; i < count; ++i)
        digits((uintptr_t)frames[i] - base - (i > 2 ? 1 : 0), 16, offsets[n++]);
    if (n > 0)
        say_frames(symbolize(offsets, n));

    struct sigaction plain;
    memset(&plain, 0, sizeof plain);
    plain.sa_handler = SIG_DFL;
    sigaction(signal, &plain, 0);
    raise(signal);
}

static int first_object(struct dl_phdr_info *info, size_t size, void *data) {
    (void)size;
    *(uintptr_t *)data = info->dlpi_addr;
    return 1; /* the executable comes first */
}

__attribute__((constructor)) static void install(void) {
    char here;
    stack_top = (uintptr_t)&here;
    const ssize_t n = readlink("/proc/self/exe", program, sizeof program - 1);
    if (n <= 0)
        return;
    program[n] = '\0';
    dl_iterate_phdr(first_object, &base);
    void *loaded[1];
    backtrace(loaded, 1); /* loads the unwinder now, not in the handler */

    struct sigaction old;
    if (sigaction(SIGSEGV, 0, &old) != 0 || old.sa_handler != SIG_DFL)
        return; /* a sanitizer that reports crashes has a handler of its own */
    stack_t stack = {.ss_sp = alternate, .ss_size = sizeof alternate, .ss_flags = 0};
    struct sigaction action;
    memset(&action, 0, sizeof action);
    action.sa_sigaction = caught;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    if (sigaltstack(&stack, 0) == 0) {
        sigaction(SIGSEGV, &action, 0);
        sigaction(SIGBUS, &action, 0);
    }
}
