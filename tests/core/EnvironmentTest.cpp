#include "core/Environment.h"

#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>

namespace kelvo {
namespace {

TEST(Environment, AccountNameIsTheFullNameElseTheLogin) {
    EXPECT_EQ(accountNameOf("Li Ming,Room 5,555-1234,,", "liming"), "Li Ming");
    EXPECT_EQ(accountNameOf("王小明", "wxm"), "王小明");
    EXPECT_EQ(accountNameOf("", "wxm"), "wxm");
    EXPECT_EQ(accountNameOf(",,,", "wxm"), "wxm");
    EXPECT_EQ(accountNameOf("  ", "wxm"), "wxm");
}

TEST(Environment, AccountNameOfTheRunningUserComesFromItsAccount) {
    const passwd* entry = ::getpwuid(::getuid());
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(accountName(), accountNameOf(entry->pw_gecos, entry->pw_name));
    EXPECT_FALSE(accountName().empty());
}

} // namespace
} // namespace kelvo
