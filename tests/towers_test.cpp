#include "run.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

TEST(Towers, TallerTowerIsSolvedLegally)
{
    // Play the listed moves on three pegs: every move must take a top disk onto
    // a larger one or an empty peg, and all ten disks must end on peg C.
    const Outcome r = run("towers", "10");
    const std::string heading = "\nInput the number of disks:\nThe step to moving  10 disks:\n";
    ASSERT_EQ(r.out.substr(0, heading.size()), heading);
    ASSERT_EQ(r.status, 0);
    std::array<std::vector<int>, 3> pegs;
    for (int disk = 10; disk >= 1; --disk)
        pegs[0].push_back(disk);
    const std::string moves = r.out.substr(heading.size());
    const auto peg = [&pegs](char letter) -> std::vector<int>* {
        return letter >= 'A' && letter <= 'C' ? &pegs[static_cast<std::size_t>(letter - 'A')]
                                              : nullptr;
    };
    std::size_t count = 0;
    for (std::size_t at = 0; at < moves.size(); at += 8, ++count) {
        const std::string move = moves.substr(at, 8); // "\nA --> C"
        ASSERT_TRUE(move.size() == 8 && move[0] == '\n' && move.substr(2, 5) == " --> ")
            << "move " << count << ": " << testing::PrintToString(move);
        std::vector<int>* from = peg(move[1]);
        std::vector<int>* to = peg(move[7]);
        ASSERT_TRUE(from != nullptr && to != nullptr) << "move " << count << ": " << move;
        ASSERT_FALSE(from->empty()) << "move " << count;
        ASSERT_TRUE(to->empty() || to->back() > from->back()) << "move " << count;
        to->push_back(from->back());
        from->pop_back();
    }
    EXPECT_EQ(count, 1023u);
    EXPECT_EQ(pegs[2].size(), 10u);
}
