// Bounded path joins.

#include "gamefs/path.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>

namespace {

TEST(JoinPath, FormsPathsUpToTheLimitAndRefusesLonger)
{
    char out[GamePathBufferSize];
    EXPECT_TRUE(JoinPath(out, sizeof out, "C:\\games\\", "sub\\", "res.dat"));
    EXPECT_STREQ(out, "C:\\games\\sub\\res.dat");
    EXPECT_TRUE(JoinPath(out, sizeof out, "C:\\", nullptr, nullptr));
    EXPECT_STREQ(out, "C:\\");

    std::string folder = "C:\\" + std::string(250, 'f') + "\\";  // 254 characters
    EXPECT_TRUE(JoinPath(out, sizeof out, folder.c_str(), "", "ab.cde"));  // 260: fits
    EXPECT_EQ(strlen(out), 260u);
    EXPECT_FALSE(JoinPath(out, sizeof out, folder.c_str(), "", "ab.cdef"));  // 261
    EXPECT_STREQ(out, "");
    EXPECT_FALSE(JoinPath(out, 0, "x", nullptr, nullptr));
}

}  // namespace
