#include "run.h"

#include <gtest/gtest.h>

TEST(Sort, RanksByDescendingScore)
{
    const Case cases[] = {
        {"0", ""},
        {"-5 Ann 001 90", ""},
        {"1 Ann 001 90", "Ann 001 90.000000\n"},
        {"3\nAnn 001 90\nBob 002 85.5\nCid 003 95\n",
         "Cid 003 95.000000\nAnn 001 90.000000\nBob 002 85.500000\n"},
        {"2 a 1 -3 b 2 1e3", "b 2 1000.000000\na 1 -3.000000\n"},
        {"+2 a 1 0.1 b 2 0x1p-2", "b 2 0.250000\na 1 0.100000\n"},
        // Records beyond the count are left unread.
        {"1 a 1 1 b 2 2", "a 1 1.000000\n"},
    };
    expect_outputs("sort", cases);
}

TEST(Sort, EqualScoresFollowTheSelectionSort)
{
    const Case cases[] = {
        {"3 a 1 1 b 2 1 c 3 2", "c 3 2.000000\nb 2 1.000000\na 1 1.000000\n"},
        {"4 a 1 5 b 2 5 c 3 1 d 4 9", "d 4 9.000000\nb 2 5.000000\na 1 5.000000\nc 3 1.000000\n"},
        {"3 a 1 7 b 2 7 c 3 7", "a 1 7.000000\nb 2 7.000000\nc 3 7.000000\n"},
    };
    expect_outputs("sort", cases);
}

TEST(Sort, FieldWidths)
{
    const std::string name29(29, 'n'), id19(19, '9');
    const std::string longest = "1 " + name29 + " " + id19 + " 50\n";
    expect_success(run("sort", longest), name29 + " " + id19 + " 50.000000\n");

    const BadCase cases[] = {
        {"1 nnnnnnnnnnnnnnnnnnnnnnnnnnnnnn 1 50", "",
         "sort: record 1: name longer than 29 characters"},
        {"2 a 1 1 b 99999999999999999999 2", "", "sort: record 2: ID longer than 19 characters"},
    };
    expect_errors("sort", cases);
}

TEST(Sort, BadInput)
{
    const BadCase cases[] = {
        {"", "", "sort: expected the number of records"},
        {"three a 1 1", "", "sort: expected the number of records"},
        {"99999999999 a 1 1", "", "sort: the number of records is out of range"},
        {"2 a 1 1", "", "sort: expected 2 records, read 1"},
        // The storage follows the records read, not the count typed.
        {"2000000000 a 1 1", "", "sort: expected 2000000000 records, read 1"},
        {"1 a", "", "sort: record 1: expected a name, an ID and a score"},
        {"2 a 1 1 b 2", "", "sort: record 2: expected a name, an ID and a score"},
        {"1 a 1 high", "", "sort: record 1: score is not a number"},
        {"1 a 1 5x", "", "sort: record 1: score is not a number"},
        {"1 a 1 inf", "", "sort: record 1: score is not a finite number"},
        {"1 a 1 nan", "", "sort: record 1: score is not a finite number"},
        {"1 a 1 1e40", "", "sort: record 1: score is not a finite number"},
    };
    expect_errors("sort", cases);
}
