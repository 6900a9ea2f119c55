#include "run.h"

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

extern char** environ; // NOLINT(readability-redundant-declaration): not in every <unistd.h>

namespace {

std::runtime_error system_error(const std::string& what)
{
    return std::runtime_error(what + ": " + std::strerror(errno));
}

// A file descriptor, closed when its owner goes.
class Fd {
  public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Fd& operator=(Fd&& other) noexcept
    {
        std::swap(fd_, other.fd_);
        return *this;
    }
    ~Fd() { close(); }

    [[nodiscard]] int get() const { return fd_; }
    [[nodiscard]] bool is_open() const { return fd_ >= 0; }
    void close()
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

  private:
    int fd_ = -1;
};

struct Pipe {
    Fd read;
    Fd write;
};

// A pipe whose ends are not inherited by the programs started (no pipe2 on macOS).
Pipe make_pipe()
{
    std::array<int, 2> fds{};
    if (pipe(fds.data()) != 0)
        throw system_error("pipe");
    Pipe p{Fd(fds[0]), Fd(fds[1])};
    for (const int fd : fds)
        if (fcntl(fd, F_SETFD, FD_CLOEXEC) != 0)
            throw system_error("fcntl");
    return p;
}

// A started program; killed and reaped if its owner goes before it has ended.
class Child {
  public:
    explicit Child(pid_t pid) : pid_(pid) {}
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    Child(Child&&) = delete;
    Child& operator=(Child&&) = delete;
    ~Child()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            int status = 0;
            while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
            }
        }
    }

    void kill() const { ::kill(pid_, SIGKILL); }

    // The wait status once the program has ended; with `block` false, false
    // while it still runs.
    bool wait(bool block, int& status)
    {
        for (;;) {
            const pid_t got = waitpid(pid_, &status, block ? 0 : WNOHANG);
            if (got == pid_) {
                pid_ = 0;
                return true;
            }
            if (got == 0)
                return false;
            if (errno != EINTR)
                throw system_error("waitpid");
        }
    }

  private:
    pid_t pid_;
};

// The programs run with default signal handling, whatever the tests set, and
// with the given standard input, output and error.
Child spawn(const std::string& path, std::vector<std::string> words, int in, int out, int err,
            bool out_to_dev_full)
{
    std::vector<char*> argv;
    argv.reserve(words.size() + 1);
    for (std::string& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in, 0);
    if (out_to_dev_full)
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/full", O_WRONLY, 0);
    else
        posix_spawn_file_actions_adddup2(&actions, out, 1);
    posix_spawn_file_actions_adddup2(&actions, err, 2);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t all;
    sigset_t none;
    sigfillset(&all);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attr, &all);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    pid_t pid = 0;
    const int error = posix_spawn(&pid, path.c_str(), &actions, &attr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    if (error != 0)
        throw std::runtime_error("cannot start " + path + ": " + std::strerror(error));
    return Child(pid);
}

// Writes what the program has not yet been given of `input`, and closes its
// input once all is written or the program has closed it.
void feed(Fd& in, std::string_view input, std::size_t& written)
{
    const ssize_t n = write(in.get(), input.data() + written, input.size() - written);
    if (n > 0)
        written += static_cast<std::size_t>(n);
    if ((n < 0 && errno != EAGAIN && errno != EINTR) || written == input.size())
        in.close();
}

// Reads what the program wrote to `fd` into `text`, and closes `fd` at its end.
void drain(Fd& fd, std::string& text)
{
    std::array<char, 65536> buffer{};
    const ssize_t n = read(fd.get(), buffer.data(), buffer.size());
    if (n > 0)
        text.append(buffer.data(), static_cast<std::size_t>(n));
    else if (n == 0 || errno != EINTR)
        fd.close();
}

// Feeds `input` to the program and collects its output until it closes both
// outputs, the deadline passes or the output passes the cap.
void exchange(Fd& in, Fd& out, Fd& err, std::string_view input,
              std::chrono::steady_clock::time_point deadline, std::size_t output_cap,
              Outcome& result)
{
    std::size_t written = 0;
    if (input.empty())
        in.close();
    while (out.is_open() || err.is_open()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            result.timed_out = true;
            break;
        }
        std::array<pollfd, 3> fds{
            {{in.get(), POLLOUT, 0}, {out.get(), POLLIN, 0}, {err.get(), POLLIN, 0}}};
        if (poll(fds.data(), fds.size(), static_cast<int>(left.count())) < 0) {
            if (errno == EINTR)
                continue;
            throw system_error("poll");
        }
        if (fds[0].revents != 0)
            feed(in, input, written);
        if (fds[1].revents != 0)
            drain(out, result.out);
        if (fds[2].revents != 0)
            drain(err, result.err);
        if (result.out.size() + result.err.size() > output_cap) {
            result.capped = true;
            break;
        }
    }
}

} // namespace

Outcome run(std::string_view program, std::string_view input, const Options& options)
{
    // A program that exits without reading all its input must not kill the tests.
    std::signal(SIGPIPE, SIG_IGN);

    std::string path = std::string(PROGRAM_DIR) + "/" + std::string(program);
    std::vector<std::string> words{path};
    if (options.memory_limit_kib > 0) {
        // The shell sets the limit, then becomes the program.
        words = {"/bin/sh", "-c",
                 "ulimit -v " + std::to_string(options.memory_limit_kib) + R"( && exec "$0" "$@")",
                 path};
        path = "/bin/sh";
    }
    words.insert(words.end(), options.args.begin(), options.args.end());

    Pipe in = make_pipe();
    Pipe out = make_pipe();
    Pipe err = make_pipe();
    Child child = spawn(path, words, in.read.get(), out.write.get(),
                        options.stderr_to_stdout ? out.write.get() : err.write.get(),
                        options.stdout_to_dev_full);
    in.read.close();
    out.write.close();
    err.write.close();
    if (fcntl(in.write.get(), F_SETFL, O_NONBLOCK) != 0)
        throw system_error("fcntl");

    Outcome result;
    const auto deadline = std::chrono::steady_clock::now() + options.limit;
    exchange(in.write, out.read, err.read, input, deadline, options.output_cap, result);
    bool killed = result.timed_out || result.capped;
    if (killed)
        child.kill();
    in.write.close();
    out.read.close();
    err.read.close();

    // Both outputs are closed; give the program what is left of its time to exit.
    int status = 0;
    while (!child.wait(killed, status)) {
        if (std::chrono::steady_clock::now() >= deadline) {
            result.timed_out = true;
            child.kill();
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

void expect_failure(const Outcome& r, std::string_view out, std::string_view err)
{
    EXPECT_EQ(r.out, out);
    EXPECT_EQ(r.err, std::string(err) + "\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.signal, 0);
}
