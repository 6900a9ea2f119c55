// Every program that reads anything, fed a few hundred seeded random byte
// strings: none may crash, hang or fail without saying why.
#include "run.h"

#include <gtest/gtest.h>

#include <random>

namespace {

std::string random_input(std::mt19937& rng)
{
    using namespace std::literals;
    static constexpr std::string_view tokens[] = {
        "0",          "1",     "-1",         "3",          "63",          "64",   "-2147483648",
        "+7",         "-0",    "2147483647", "2147483648", "-2147483649", "1e39", "1e999999",
        "-1e-999999", "1e-50", "0x1p3",      "nan",        "inf",         "-inf", "1.5",
        "A",          "e",     "abc",        "-",          "+",           " ",    "\n",
        "\t",         "\r\n",  "\xff",       "\xc3(",      "\0"sv};
    const auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    std::string s;
    for (int piece = pick(12); piece >= 0; --piece) {
        switch (pick(4)) {
        case 0: // raw bytes, NULs and invalid UTF-8 included
            for (int i = pick(40); i > 0; --i)
                s += static_cast<char>(pick(256));
            break;
        case 1: // a long run of digits
            for (int i = pick(80) + 1; i > 0; --i)
                s += static_cast<char>('0' + pick(10));
            break;
        default: // a word that almost means something, then a separator
            s += tokens[pick(static_cast<int>(std::size(tokens)))];
            s += " \n"[pick(2)];
        }
    }
    return s;
}

class Sweep : public testing::TestWithParam<const char*> {};

TEST_P(Sweep, RandomInput)
{
    const std::string program = GetParam();
    std::mt19937 rng(20261208);
    Options options;
    options.output_cap = std::size_t{1} << 20; // a tall tower writes for hours: cut it off
    for (int i = 0; i < 300; ++i) {
        const std::string input = random_input(rng);
        options.args = {input.substr(0, input.find('\0')).substr(0, 20)};
        SCOPED_TRACE(testing::Message()
                     << "case " << i << ", input " << testing::PrintToString(input));
        const Outcome r = run(program, input, options);
        EXPECT_FALSE(r.timed_out);
        EXPECT_EQ(r.signal, 0);
        if (r.capped) {
            EXPECT_EQ(program, "towers");
            continue;
        }
        if (r.status == 0) {
            EXPECT_EQ(r.err, "");
        } else {
            EXPECT_EQ(r.status, 1);
            EXPECT_EQ(r.err.rfind(program + ": ", 0), 0u) << r.err;
            EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
        }
        if (testing::Test::HasFailure())
            break;
    }
}

// culprit_bits, culprit_flags and series40 read nothing: random input tells nothing of them.
INSTANTIATE_TEST_SUITE_P(EveryReader, Sweep,
                         testing::Values("quadroots", "sort", "towers", "sort_ten", "Score", "Test",
                                         "powers", "strip_char"),
                         [](const auto& param_info) { return std::string(param_info.param); });

} // namespace
