// The spare a maker hands out again: only while nobody else holds it or a part it lent.
// SPDX-License-Identifier: Apache-2.0
#include "Spare.h"

#include <gtest/gtest.h>

namespace quendra::embedded {
namespace {

// An object that lends a part of itself and shares a value with others.
struct Made : Lends<Made> {
    int part = 0;
    std::shared_ptr<int> shared = std::make_shared<int>(1);
};

TEST(SpareTest, HandsOutItsObjectOnlyWhileNobodyElseHoldsItOrAPartItLent) {
    Spare<Made> spare;
    auto sharedUnheld = [](const Made& made) { return HeldAlone(made.shared); };
    EXPECT_EQ(spare.Unheld(), nullptr); // nothing kept yet
    Made* kept = spare.Keep(std::make_shared<Made>()).get();
    EXPECT_EQ(spare.Unheld(), kept);
    EXPECT_EQ(spare.Unheld(sharedUnheld), kept);

    auto holder = spare.Kept();
    EXPECT_EQ(spare.Unheld(), nullptr);
    holder.reset();
    std::shared_ptr<int> lent = kept->Lend(kept->part);
    EXPECT_EQ(spare.Unheld(), nullptr); // a part lent holds the whole
    lent.reset();
    EXPECT_EQ(spare.Unheld(), kept);
    auto sharer = kept->shared;
    EXPECT_EQ(spare.Unheld(), kept);
    EXPECT_EQ(spare.Unheld(sharedUnheld), nullptr);
    sharer.reset();
    EXPECT_EQ(spare.Unheld(sharedUnheld), kept);

    auto taken = spare.Take();
    EXPECT_EQ(taken.get(), kept);
    EXPECT_EQ(spare.Kept(), nullptr);
    EXPECT_EQ(spare.Unheld(), nullptr);
}

TEST(SpareTest, APartLentOutlivesEveryOtherHolderOfItsWhole) {
    std::shared_ptr<int> lent;
    {
        auto made = std::make_shared<Made>();
        made->part = 7;
        lent = made->Lend(made->part);
    }
    EXPECT_EQ(*lent, 7);
    EXPECT_FALSE(HeldAlone(std::shared_ptr<int>()));
}

} // namespace
} // namespace quendra::embedded
