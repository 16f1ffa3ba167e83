#include <gtest/gtest.h>
#include <windows.h>

TEST(Toolchain, RunsInJapaneseCodePage)
{
    EXPECT_EQ(932u, GetACP());
}
