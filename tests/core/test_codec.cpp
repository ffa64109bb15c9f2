#include <gtest/gtest.h>

#include "support/core/Codec.h"

TEST(Codec, DashesAndWaveMapToTheirShiftJisBytes) {
    EXPECT_EQ(codec::toCp932("－"), "\x81\x7C");
    EXPECT_EQ(codec::toCp932("―"), "\x81\x5C");
    EXPECT_EQ(codec::toCp932("～"), "\x81\x60");
    EXPECT_EQ(codec::fromCp932("\x82\xAD\x82\xAD"), "くく");
}

TEST(Codec, OnlyTextThatShiftJisHoldsFits) {
    EXPECT_TRUE(codec::fitsCp932("くく はじめ"));
    EXPECT_TRUE(codec::fitsCp932("ｸﾘｯｸ①"));
    EXPECT_FALSE(codec::fitsCp932("abc한"));
    EXPECT_FALSE(codec::fitsCp932("😀"));
}

TEST(Codec, LeadingBytesNeverCutACharacter) {
    EXPECT_EQ(codec::leadingBytes("　に　・　ご　　・じゅう　　　　", 18), "　に　・　ご　　・");
    EXPECT_EQ(codec::leadingBytes("aくく", 2), "a");  // the next character needs two more bytes
    EXPECT_EQ(codec::leadingBytes("ab", 18), "ab");
}
