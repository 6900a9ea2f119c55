// Runs a built program as a child process and collects what it did.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct Outcome {
    std::string out;        // everything written to stdout (empty when sent to /dev/full)
    std::string err;        // everything written to stderr
    int status = -1;        // exit status, or -1 when a signal ended the program
    int signal = 0;         // the signal that ended it, or 0
    bool timed_out = false; // killed at the time limit
    bool capped = false;    // killed for writing more than the output cap
};

struct Options {
    std::vector<std::string> args;   // arguments after argv[0]
    bool stdout_to_dev_full = false; // stdout opened on /dev/full, where every write fails
    bool stderr_to_stdout = false;   // both into `out`, as with 2>&1
    long memory_limit_kib = 0;       // a limit on the program's address space, if not 0
    std::chrono::milliseconds limit{20000};
    std::size_t output_cap = std::size_t{256} << 20;
};

// Runs this project's `program` ("towers") with `input` as its whole standard
// input (never the terminal). Throws if the program cannot be run or waited for.
Outcome run(std::string_view program, std::string_view input, const Options& options = {});

// gtest check: the run printed exactly `out` (its prompts), then one diagnostic
// line `err` on stderr, and exited with status 1.
void expect_failure(const Outcome& r, std::string_view out, std::string_view err);
