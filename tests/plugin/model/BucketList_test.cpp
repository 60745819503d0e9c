// The hash bucket list behind the hot spot sets: bucket choice, refusal of equal keys,
// growth, re-bucketing and the iteration order that tie-breaks depend on.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "model/Optimizer_Data.h"
#include "model/RT_HashTable.h"

namespace tessaro {
namespace {

// A key whose hash is chosen by the test, counting its own destruction.
class CountedKey : public TBucketKey {
  public:
    CountedKey(std::uint32_t hash, int id, int* deaths) : hash_(hash), id_(id), deaths_(deaths) {}
    ~CountedKey() override {
        if (deaths_) ++*deaths_;
    }
    std::uint32_t Hash() const override { return hash_; }
    bool Equals(const TBucketKey& other) const override {
        return id_ == static_cast<const CountedKey&>(other).id_;
    }
    int Id() const { return id_; }

  private:
    std::uint32_t hash_;
    int id_;
    int* deaths_;
};

class OwningList : public TGenericBucketList {
  public:
    using TGenericBucketList::TGenericBucketList;
};

std::vector<THotSpot*> Order(const THotSpotList& list) {
    return list.InOrder();
}

TEST(BucketCount, FollowsTheSizeRule) {
    struct Case {
        int hint;
        int buckets;
    };
    // c = s div 128 + 1 clamped to 8..4096; the power of two below c is doubled when it
    // covers less than 70% of c.
    const Case cases[] = {{0, 8},     {1400, 8},      {1500, 16},     {1844, 16},     {2800, 16},
                          {2944, 32}, {100000, 1024}, {500000, 4096}, {1 << 24, 4096}};
    for (const Case& c : cases) {
        OwningList list(c.hint);
        EXPECT_EQ(list.BucketCount(), c.buckets) << "hint " << c.hint;
    }
}

TEST(HotSpotKey, HashRotatesYAndMixesXAndLayer) {
    const THotSpot spot(0x12345678, 0x0000ABCD, 74, nullptr);
    EXPECT_EQ(spot.Hash(), (0xABCD0000u ^ 0x12345678u ^ 74u));
    const THotSpot negative(-1, -2, 1, nullptr);
    const std::uint32_t y = static_cast<std::uint32_t>(-2);
    EXPECT_EQ(negative.Hash(), ((y >> 16) | (y << 16)) ^ 0xFFFFFFFFu ^ 1u);
}

TEST(HotSpotKey, BucketIndexFoldsTheHighHalf) {
    THotSpotList list;
    const THotSpot spot(0x00050003, 0, 0, nullptr);  // hash 0x00050003
    EXPECT_EQ(list.BucketIndexOf(spot), 6);          // (0x50003 ^ 0x5) & 7
}

TEST(HotSpotList, RefusesOnlyExactDuplicates) {
    auto* subNetA = reinterpret_cast<TSwapSubNet*>(0x10);
    auto* subNetB = reinterpret_cast<TSwapSubNet*>(0x20);
    THotSpot first(100, 200, 1, subNetA);
    struct Case {
        THotSpot spot;
        bool added;
    };
    Case cases[] = {
        {THotSpot(100, 200, 1, subNetA), false},  // same point, layer and sub-net
        {THotSpot(100, 200, 2, subNetA), true},   // another layer
        {THotSpot(100, 200, 1, subNetB), true},   // another sub-net
        {THotSpot(101, 200, 1, subNetA), true},
    };
    THotSpotList list;
    ASSERT_TRUE(list.Add(&first, 0));
    for (Case& c : cases) {
        EXPECT_EQ(list.Add(&c.spot, 0), c.added) << c.spot.X << "," << c.spot.Layer;
    }
    EXPECT_EQ(list.Count(), 4);
}

TEST(HotSpotList, IteratesBucketByBucketInInsertionOrder) {
    // Hashes chosen to land in buckets 3, 1, 3, 0 (x only, y and layer 0).
    std::vector<std::unique_ptr<THotSpot>> spots;
    for (int x : {3, 1, 11, 8}) spots.push_back(std::make_unique<THotSpot>(x, 0, 0, nullptr));
    THotSpotList list;
    for (auto& spot : spots) list.Add(spot.get(), 0);
    std::vector<int> xs;
    for (THotSpot* spot : list.InOrder()) xs.push_back(spot->X);
    EXPECT_EQ(xs, (std::vector<int>{8, 1, 3, 11}));

    // The generic iterator walks the same order.
    TBucketListIterator it(list);
    std::vector<int> walked;
    while (it.Next()) walked.push_back(static_cast<THotSpot*>(it.CurrentKey())->X);
    EXPECT_EQ(walked, xs);
    EXPECT_FALSE(it.Next());
}

TEST(HotSpotList, ClearForgetsWithoutFreeingAndRefillsInTheSameOrder) {
    std::vector<std::unique_ptr<THotSpot>> spots;
    for (int i = 0; i < 40; ++i)
        spots.push_back(std::make_unique<THotSpot>(i * 7919, i * 104729, i % 3, nullptr));
    THotSpotList list;
    for (auto& spot : spots) list.Add(spot.get(), 0);
    const auto before = Order(list);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_TRUE(list.InOrder().empty());
    for (auto& spot : spots) list.Add(spot.get(), 0);
    EXPECT_EQ(Order(list), before);
    // The hot spots are still ours and alive (the sanitizer build checks this).
    EXPECT_EQ(spots.front()->X, 0);
}

TEST(HotSpotList, ItemNumber1844RebucketsToSixteenInOldIterationOrder) {
    // Every key lands in one of the 8 first buckets; after growth each moves to index
    // (hash ^ hash >> 16) & 15, keeping the old order among the keys of a new bucket.
    std::vector<std::unique_ptr<THotSpot>> spots;
    for (int i = 0; i < 1844; ++i) spots.push_back(std::make_unique<THotSpot>(i, 0, 0, nullptr));
    THotSpotList list;
    for (int i = 0; i < 1843; ++i)
        ASSERT_TRUE(list.Add(spots[static_cast<std::size_t>(i)].get(), 0));
    ASSERT_EQ(list.BucketCount(), 8);
    ASSERT_TRUE(list.Add(spots.back().get(), 0));
    EXPECT_EQ(list.BucketCount(), 16);
    EXPECT_EQ(list.Count(), 1844);

    // Hash i: bucket i & 7 before, i & 15 after; within a bucket the old order (ascending i).
    std::vector<THotSpot*> expected;
    for (int bucket = 0; bucket < 16; ++bucket)
        for (int i = 0; i < 1844; ++i)
            if ((i & 15) == bucket) expected.push_back(spots[static_cast<std::size_t>(i)].get());
    EXPECT_EQ(list.InOrder(), expected);
}

TEST(BucketList, BucketArraysGrowByFourThenSixteenThenAQuarter) {
    OwningList list(8);
    int deaths = 0;
    std::vector<std::size_t> lengths;
    // All in bucket 0: hash 0.
    for (int i = 0; i < 100; ++i) {
        list.Add(new CountedKey(0, i, &deaths), i);
        const std::size_t length = list.Buckets()[0].items.size();
        if (lengths.empty() || lengths.back() != length) lengths.push_back(length);
    }
    EXPECT_EQ(lengths, (std::vector<std::size_t>{4, 8, 12, 28, 44, 60, 76, 95, 118}));
    list.Clear();
    EXPECT_EQ(deaths, 100);
}

TEST(BucketList, ClearReleasesFromLastToFirst) {
    std::vector<int> released;
    class RecordingList : public TCustomPointerBucketList {
      public:
        explicit RecordingList(std::vector<int>& out) : TCustomPointerBucketList(8), out_(out) {}
        ~RecordingList() override { ClearUnchecked(); }

      protected:
        void ReleaseKey(TBucketKey* key) override {
            out_.push_back(static_cast<CountedKey*>(key)->Id());
        }

      private:
        std::vector<int>& out_;
    };
    std::vector<std::unique_ptr<CountedKey>> keys;
    RecordingList list(released);
    for (int i = 0; i < 4; ++i) {
        keys.push_back(std::make_unique<CountedKey>(static_cast<std::uint32_t>(i % 2), i, nullptr));
        list.Add(keys.back().get(), 0);
    }
    list.Clear();
    // Bucket 0 holds 0 and 2, bucket 1 holds 1 and 3.
    EXPECT_EQ(released, (std::vector<int>{2, 0, 3, 1}));
}

TEST(BucketList, ValuesLocksAndIteratorEnds) {
    int deaths = 0;
    OwningList list(8);
    auto* key = new CountedKey(5, 1, &deaths);
    list.Add(key, 42);
    const CountedKey probe(5, 1, nullptr);
    const CountedKey missing(5, 2, nullptr);
    EXPECT_EQ(list.GetValue(probe), 42);
    EXPECT_EQ(list.GetValue(missing), 0);
    list.SetDefaultOnMissing(false);
    EXPECT_THROW(list.GetValue(missing), EListError);

    list.LockForEach();
    CountedKey refused(1, 9, nullptr);
    EXPECT_THROW(list.Add(&refused, 0), EListError);
    EXPECT_THROW(list.Clear(), EListError);
    list.UnlockForEach();
    EXPECT_EQ(list.Count(), 1);

    OwningList empty(8);
    TBucketListIterator it(empty);
    EXPECT_FALSE(it.Next());
    EXPECT_THROW(it.CurrentValue(), EEOFException);
    EXPECT_THROW(it.SetCurrentValue(1), EEOFException);

    TBucketListIterator walk(list);
    ASSERT_TRUE(walk.Next());
    walk.SetCurrentValue(7);
    EXPECT_EQ(list.GetValue(probe), 7);
    EXPECT_TRUE(list.Remove(probe));
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(list.Count(), 0);
}

}  // namespace
}  // namespace tessaro
