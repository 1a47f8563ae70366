#include "app/ModeOrder.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

struct OrderCase {
    QByteArray a;
    QByteArray b;
    int sign; // of the comparison of a with b
};

void PrintTo(const OrderCase& c, std::ostream* out)
{
    *out << c.a.toStdString() << " vs " << c.b.toStdString();
}

class ModeTextOrder : public ::testing::TestWithParam<OrderCase> {};

int sign(int value)
{
    return (value > 0) - (value < 0);
}

} // namespace

TEST_P(ModeTextOrder, FoldsOnlyAsciiLettersAndPutsAPrefixFirst)
{
    const OrderCase& c = GetParam();
    EXPECT_EQ(sign(app::compareSortTexts(c.a, c.b)), c.sign);
    EXPECT_EQ(sign(app::compareSortTexts(c.b, c.a)), -c.sign);
}

INSTANTIATE_TEST_SUITE_P(Texts, ModeTextOrder,
                         ::testing::Values(OrderCase{"abc", "ABD", -1},
                                           OrderCase{"Mode", "MODE", 0},
                                           OrderCase{"10", "100", -1},
                                           OrderCase{"100", "11", -1}, // text, not number, order
                                           OrderCase{"", "0", -1},
                                           OrderCase{"Stage", "Stage 1", -1},
                                           // Windows-1251 e acute and its capital: not folded
                                           OrderCase{"\xe9", "\xc9", 1},
                                           // bytes are unsigned: a letter beyond ASCII goes after z
                                           OrderCase{"z", "\xe0", -1},
                                           // folded, "a" goes before "_", which lies between
                                           // the capitals and the small letters
                                           OrderCase{"a", "_", -1}));
