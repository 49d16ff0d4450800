#include "platform/lenient_number.h"

#include <gtest/gtest.h>

#include <QString>

namespace {

TEST(LeadingNumber, Table)
{
    struct { const char *text; double value; } cases[] = {
        {"1", 1}, {"0", 0}, {"", 0}, {"2a", 2}, {" -3.5x", -3.5}, {"abc", 0}, {"1.2.3", 1.2},
        {"+4", 4}, {"\t 7", 7}, {"-", 0}, {".5", 0.5}, {"1e3", 1},
    };
    for (auto c : cases)
        EXPECT_DOUBLE_EQ(leadingNumber(QString(c.text)), c.value) << c.text;
}

} // namespace
