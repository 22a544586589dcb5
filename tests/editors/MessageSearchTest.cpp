#include "editors/MessageSearch.h"

#include <gtest/gtest.h>

namespace kelvo {
namespace {

const std::vector<std::string> kMessages{"ABC",     "ab c", "xAbCx", "",
                                         "提醒abc", "ÄBC",  "abc",   "ABC"};

TEST(MessageSearch, LatinLettersMatchWithoutRegardToCase) {
    const std::vector<int> hits{0, 2, 4, 6, 7};
    EXPECT_EQ(findMessages(kMessages, "abc"), hits);
    EXPECT_EQ(findMessages(kMessages, "ABC"), hits);
    EXPECT_EQ(findMessages(kMessages, "aBc"), hits);
}

TEST(MessageSearch, OtherCharactersMatchOnlyThemselves) {
    EXPECT_EQ(findMessages(kMessages, "醒A"), std::vector<int>{4});
    EXPECT_EQ(findMessages(kMessages, "äbc"), std::vector<int>{});
    EXPECT_EQ(findMessages(kMessages, "b c"), std::vector<int>{1});
    EXPECT_EQ(findMessages({"提醒", "醒提"}, "醒"), (std::vector<int>{0, 1}));
}

TEST(MessageSearch, EmptyWordMatchesNothing) {
    EXPECT_TRUE(findMessages(kMessages, "").empty());
    EXPECT_TRUE(findMessages({}, "a").empty());
}

} // namespace
} // namespace kelvo
