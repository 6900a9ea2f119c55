#include "run.h"

#include "programs.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

struct Pipe {
    int read = -1;
    int write = -1;
};

Pipe make_pipe()
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe2 failed");
    return {fds[0], fds[1]};
}

void close_fd(int& fd)
{
    if (fd >= 0)
        close(fd);
    fd = -1;
}

} // namespace

const char* path_of(std::string_view program)
{
    for (const Program& p : programs)
        if (p.name == program)
            return p.path;
    throw std::invalid_argument("unknown program " + std::string(program));
}

Outcome run(std::string_view program, std::string_view input, const Options& options)
{
    // A program that exits without reading all its input must not kill the tests.
    std::signal(SIGPIPE, SIG_IGN);

    const std::string path = path_of(program);
    std::vector<std::string> words{options.argv0.empty() ? path : options.argv0};
    words.insert(words.end(), options.args.begin(), options.args.end());
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);

    Pipe in = make_pipe(), out = make_pipe(), err = make_pipe();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in.read, 0);
    if (options.stdout_to_dev_full)
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/full", O_WRONLY, 0);
    else
        posix_spawn_file_actions_adddup2(&actions, out.write, 1);
    posix_spawn_file_actions_adddup2(&actions, err.write, 2);

    // The child starts with default signal handling, whatever the tests set.
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t all, none;
    sigfillset(&all);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attr, &all);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, path.c_str(), &actions, &attr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    close_fd(in.read);
    close_fd(out.write);
    close_fd(err.write);
    if (spawned != 0) {
        close_fd(in.write);
        close_fd(out.read);
        close_fd(err.read);
        throw std::runtime_error("cannot start " + path);
    }
    fcntl(in.write, F_SETFL, O_NONBLOCK);

    Outcome result;
    const auto deadline = std::chrono::steady_clock::now() + options.limit;
    std::size_t written = 0;
    if (input.empty())
        close_fd(in.write);
    bool killed = false;
    while (out.read >= 0 || err.read >= 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            result.timed_out = true;
            break;
        }
        pollfd fds[3] = {{in.write, POLLOUT, 0}, {out.read, POLLIN, 0}, {err.read, POLLIN, 0}};
        if (poll(fds, 3, static_cast<int>(left.count())) < 0 && errno != EINTR)
            throw std::runtime_error("poll failed");
        if (fds[0].revents != 0) {
            const ssize_t n = write(in.write, input.data() + written, input.size() - written);
            if (n > 0)
                written += static_cast<std::size_t>(n);
            if (n < 0 && errno != EAGAIN)
                close_fd(in.write); // the program closed its input
            else if (written == input.size())
                close_fd(in.write);
        }
        for (int i = 1; i < 3; ++i) {
            if (fds[i].revents == 0)
                continue;
            int& fd = i == 1 ? out.read : err.read;
            std::string& text = i == 1 ? result.out : result.err;
            char buffer[65536];
            const ssize_t n = read(fd, buffer, sizeof buffer);
            if (n > 0)
                text.append(buffer, static_cast<std::size_t>(n));
            else if (n == 0 || errno != EINTR)
                close_fd(fd);
        }
        if (result.out.size() + result.err.size() > options.output_cap) {
            result.capped = true;
            break;
        }
    }
    if (result.timed_out || result.capped) {
        kill(pid, SIGKILL);
        killed = true;
    }
    close_fd(in.write);
    close_fd(out.read);
    close_fd(err.read);

    // Both outputs are closed; give the program what is left of its time to exit.
    int status = 0;
    while (waitpid(pid, &status, killed ? 0 : WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() >= deadline) {
            result.timed_out = true;
            kill(pid, SIGKILL);
            killed = true;
        } else {
            usleep(1000);
        }
    }
    if (WIFEXITED(status))
        result.status = WEXITSTATUS(status);
    else if (WIFSIGNALED(status) && !killed)
        result.signal = WTERMSIG(status);
    return result;
}

void expect_success(const Outcome& r, std::string_view out)
{
    EXPECT_EQ(r.out, out);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.signal, 0);
}

void expect_failure(const Outcome& r, std::string_view out, std::string_view err)
{
    EXPECT_EQ(r.out, out);
    EXPECT_EQ(r.err, std::string(err) + "\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.signal, 0);
}

void expect_outputs(std::string_view program, std::span<const Case> cases)
{
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << program << " with input \"" << c.input << '"');
        expect_success(run(program, c.input), c.out);
    }
}

void expect_errors(std::string_view program, std::span<const BadCase> cases)
{
    for (const BadCase& c : cases) {
        SCOPED_TRACE(testing::Message() << program << " with input \"" << c.input << '"');
        expect_failure(run(program, c.input), c.out, c.err);
    }
}
