// The shared texts objects hold their names, folders and effects in: equal texts share one
// entry, a text reads back as it was given, and what was read stays valid while more texts are
// added.
#include <gtest/gtest.h>

#include <string>

#include "engine/ENV.h"

namespace {

TEST(SharedTextTest, EqualTextsShareAnEntryAndReadBackAsGiven) {
    const SharedText empty;
    EXPECT_TRUE(empty.empty());
    EXPECT_EQ(empty.str(), "");
    SharedText a = std::string("HERO");
    const SharedText b("HERO");
    const SharedText c("HERO ");
    EXPECT_TRUE(a == b);
    EXPECT_FALSE(a == c);
    EXPECT_EQ(a, "HERO");
    EXPECT_EQ(std::string("#") + a + ".png", "#HERO.png");
    EXPECT_EQ(c.size(), 5u);
    a = "";
    EXPECT_TRUE(a.empty());
    EXPECT_TRUE(a == empty);
    // Text with a NUL byte in it is kept whole.
    const std::string withNul("A\0B", 3);
    EXPECT_EQ(SharedText(withNul).str(), withNul);
}

TEST(SharedTextTest, ATextReadEarlierStaysValidWhileManyMoreAreAdded) {
    const SharedText first("a tile kind's name long enough to live outside the string itself");
    const std::string& read = first.str();
    const char* bytes = read.c_str();
    for (int i = 0; i < 100000; ++i) SharedText("name " + std::to_string(i));
    EXPECT_EQ(&first.str(), &read);
    EXPECT_EQ(first.c_str(), bytes);
    EXPECT_EQ(read, "a tile kind's name long enough to live outside the string itself");
}

}  // namespace
