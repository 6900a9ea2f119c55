// Runs a built program as a child process and collects what it did.
#pragma once

#include <chrono>
#include <span>
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
    std::string argv0;               // argv[0]; the program's path when empty
    bool stdout_to_dev_full = false; // stdout opened on /dev/full, where every write fails
    std::chrono::milliseconds limit{20000};
    std::size_t output_cap = std::size_t{256} << 20;
};

// The path of a program of this project, by its name ("quadroots").
const char* path_of(std::string_view program);

// Runs `program` with `input` as its whole standard input (never the terminal).
Outcome run(std::string_view program, std::string_view input, const Options& options = {});

// gtest checks: a successful run printed exactly `out` and nothing on stderr; a
// failed run printed exactly `out` (its prompts), then one diagnostic line `err`.
void expect_success(const Outcome& r, std::string_view out);
void expect_failure(const Outcome& r, std::string_view out, std::string_view err);

// Tables of cases: each input is run through `program` and must succeed with
// exactly `out`, or fail with exactly `out` (its prompts) and the line `err`.
struct Case {
    std::string input;
    std::string out;
};
struct BadCase {
    std::string input;
    std::string out;
    std::string err;
};
void expect_outputs(std::string_view program, std::span<const Case> cases);
void expect_errors(std::string_view program, std::span<const BadCase> cases);
