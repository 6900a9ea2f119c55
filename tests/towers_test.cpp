#include "run.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr std::string_view prompt = "\nInput the number of disks:";

} // namespace

TEST(Towers, ListsTheMoves)
{
    const std::string p(prompt);
    const Case cases[] = {
        {"1", p + "\nThe step to moving   1 disks:\n\nA --> C"},
        {"2", p + "\nThe step to moving   2 disks:\n\nA --> B\nA --> C\nB --> C"},
        {"3\n", p + "\nThe step to moving   3 disks:\n"
                    "\nA --> C\nA --> B\nC --> B\nA --> C\nB --> A\nB --> C\nA --> C"},
        // No disks, no moves: the heading alone.
        {"0", p + "\nThe step to moving   0 disks:\n"},
    };
    expect_outputs("towers", cases);
}

TEST(Towers, TallerTowerIsSolvedLegally)
{
    // Play the listed moves on three pegs: every move must take a top disk onto
    // a larger one or an empty peg, and all ten disks must end on peg C.
    const Outcome r = run("towers", "10");
    const std::string heading = std::string(prompt) + "\nThe step to moving  10 disks:\n";
    ASSERT_EQ(r.out.substr(0, heading.size()), heading);
    ASSERT_EQ(r.status, 0);
    std::vector<int> pegs[3];
    for (int disk = 10; disk >= 1; --disk)
        pegs[0].push_back(disk);
    const std::string moves = r.out.substr(heading.size());
    std::size_t count = 0;
    for (std::size_t at = 0; at < moves.size(); at += 8, ++count) {
        const std::string move = moves.substr(at, 8); // "\nA --> C"
        ASSERT_EQ(move.substr(2, 5), " --> ") << "move " << count;
        std::vector<int>& from = pegs[move[1] - 'A'];
        std::vector<int>& to = pegs[move[7] - 'A'];
        ASSERT_FALSE(from.empty()) << "move " << count;
        ASSERT_TRUE(to.empty() || to.back() > from.back()) << "move " << count;
        to.push_back(from.back());
        from.pop_back();
    }
    EXPECT_EQ(count, 1023u);
    EXPECT_EQ(pegs[2].size(), 10u);
}

TEST(Towers, BadInput)
{
    const std::string p(prompt);
    const BadCase cases[] = {
        {"", p, "towers: expected the number of disks"},
        {"three", p, "towers: expected the number of disks"},
        {"3.5", p, "towers: expected the number of disks"},
        {"-1", p, "towers: the number of disks must be from 0 to 63"},
        {"64", p, "towers: the number of disks must be from 0 to 63"},
        // Deeper than the stack could take, and never a wrapped value.
        {"2000000000", p, "towers: the number of disks must be from 0 to 63"},
        {"4294967299", p, "towers: the number of disks must be from 0 to 63"},
    };
    expect_errors("towers", cases);
}
