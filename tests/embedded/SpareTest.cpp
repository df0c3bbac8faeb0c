// The spare a maker hands out again: only while nobody else holds it or what it keeps.
// SPDX-License-Identifier: Apache-2.0
#include "Spare.h"

#include <gtest/gtest.h>

namespace quendra::embedded {
namespace {

struct Made {
    std::shared_ptr<int> part; // something the object made and keeps
    bool PartUnshared() const { return Holders::AtMostOne(part); }
};

TEST(SpareTest, HandsOutItsObjectOnlyWhileNobodyElseHoldsItOrItsParts) {
    Spare<Made> spare;
    auto partsUnshared = [](const Made& made) { return made.PartUnshared(); };
    EXPECT_EQ(spare.Unheld(), nullptr); // nothing kept yet
    Made* kept = spare.Keep(std::make_shared<Made>(Made{std::make_shared<int>(1)})).get();
    EXPECT_EQ(spare.Unheld(), kept);
    EXPECT_EQ(spare.Unheld(partsUnshared), kept);

    auto holder = spare.Kept();
    EXPECT_EQ(spare.Unheld(), nullptr);
    EXPECT_EQ(spare.Unheld(partsUnshared), nullptr);
    holder.reset();
    auto partHolder = kept->part;
    EXPECT_EQ(spare.Unheld(), kept);
    EXPECT_EQ(spare.Unheld(partsUnshared), nullptr);
    partHolder.reset();
    EXPECT_EQ(spare.Unheld(partsUnshared), kept);

    auto taken = spare.Take();
    EXPECT_EQ(taken.get(), kept);
    EXPECT_EQ(spare.Kept(), nullptr);
    EXPECT_EQ(spare.Unheld(), nullptr);
}

TEST(SpareTest, HoldersCountEveryoneAndNoneHasNone) {
    std::shared_ptr<int> none;
    auto one = std::make_shared<int>(1);
    EXPECT_TRUE(Holders::AtMostOne(none));
    EXPECT_TRUE(Holders::Are(none, 0));
    EXPECT_FALSE(Holders::Are(none, 1));
    EXPECT_TRUE(Holders::AtMostOne(one));
    EXPECT_TRUE(Holders::Are(one, 1));
    auto two = one;
    EXPECT_FALSE(Holders::AtMostOne(one));
    EXPECT_TRUE(Holders::Are(two, 2));
}

} // namespace
} // namespace quendra::embedded
