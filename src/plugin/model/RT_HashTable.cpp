// The general hash bucket list. Its iteration order is observable (callers break ties by
// it), so growth and re-bucketing keep a precise, documented order.
#include "model/RT_HashTable.h"

#include <string>

#include "model/Optimizer_Data.h"
#include "optimizers/Assertion.h"

namespace tessaro {

namespace {

constexpr int MinBuckets = 8;
constexpr int MaxBuckets = 4096;
// Above this many items per bucket the list re-buckets itself.
constexpr double MaxLoad = 230.4;

void Check(bool condition, int line, const char* message) {
    if (!condition) AssertionFailed("RT_HashTable", line, message);
}

}  // namespace

TCustomPointerBucketList::TCustomPointerBucketList(int capacityHint) {
    buckets_.resize(static_cast<std::size_t>(BucketCountFor(std::max(capacityHint, 0))));
}

TCustomPointerBucketList::~TCustomPointerBucketList() = default;

int TCustomPointerBucketList::BucketCountFor(int size) {
    int c = size / 128 + 1;
    c = std::clamp(c, MinBuckets, MaxBuckets);
    int p = 1;
    while (p * 2 <= c) p *= 2;
    if (static_cast<double>(p) / c < 0.7) p *= 2;
    return std::min(p, MaxBuckets);
}

int TCustomPointerBucketList::BucketIndexOf(const TBucketKey& key) const {
    const std::uint32_t v = key.Hash();
    const int index =
        static_cast<int>((v ^ (v >> 16)) & static_cast<std::uint32_t>(BucketCount() - 1));
    Check(index >= 0, 382, "bucket index below 0");
    Check(index < BucketCount(), 383, "bucket index beyond the buckets");
    return index;
}

void TCustomPointerBucketList::CheckUnlocked() const {
    if (lockCount_ != 0) throw EListError("List is locked during an active ForEach");
}

void TCustomPointerBucketList::AppendToBucket(Bucket& bucket, const Item& item) {
    const std::size_t length = bucket.items.size();
    if (static_cast<std::size_t>(bucket.count) == length) {
        std::size_t delta;
        if (length < 9)
            delta = 4;
        else if (length <= 64)
            delta = 16;
        else
            delta = length / 4;
        bucket.items.resize(length + delta);
    }
    bucket.items[static_cast<std::size_t>(bucket.count)] = item;
    ++bucket.count;
}

bool TCustomPointerBucketList::Add(TBucketKey* key, Value value) {
    CheckUnlocked();
    Check(key != nullptr, 992, "key is not a TBucketKey");
    if (key == nullptr) return false;
    Bucket& bucket = buckets_[static_cast<std::size_t>(BucketIndexOf(*key))];
    for (int i = 0; i < bucket.count; ++i)
        if (key->Equals(*bucket.items[static_cast<std::size_t>(i)].key)) return false;
    AppendToBucket(bucket, Item{key, value});
    ++itemCount_;
    Grow();
    return true;
}

void TCustomPointerBucketList::Clear() {
    CheckUnlocked();
    ClearUnchecked();
}

void TCustomPointerBucketList::ClearUnchecked() noexcept {
    clearing_ = true;
    for (Bucket& bucket : buckets_) {
        // From the last item to the first, so each release sees the list as it was built.
        while (bucket.count > 0) {
            --bucket.count;
            --itemCount_;
            TBucketKey* key = bucket.items[static_cast<std::size_t>(bucket.count)].key;
            bucket.items[static_cast<std::size_t>(bucket.count)] = Item{};
            ReleaseKey(key);
        }
        bucket.items.clear();
    }
    clearing_ = false;
}

bool TCustomPointerBucketList::Find(const TBucketKey& key, Value* value) const {
    const Bucket& bucket = buckets_[static_cast<std::size_t>(BucketIndexOf(key))];
    for (int i = 0; i < bucket.count; ++i) {
        const Item& item = bucket.items[static_cast<std::size_t>(i)];
        if (key.Equals(*item.key)) {
            if (value) *value = item.value;
            return true;
        }
    }
    return false;
}

TCustomPointerBucketList::Value TCustomPointerBucketList::GetValue(const TBucketKey& key) const {
    Value value = 0;
    if (Find(key, &value)) return value;
    if (!defaultOnMissing_) throw EListError("GetValue for missing Key");
    return 0;
}

bool TCustomPointerBucketList::Remove(const TBucketKey& key) {
    CheckUnlocked();
    Bucket& bucket = buckets_[static_cast<std::size_t>(BucketIndexOf(key))];
    for (int i = 0; i < bucket.count; ++i) {
        if (!key.Equals(*bucket.items[static_cast<std::size_t>(i)].key)) continue;
        TBucketKey* stored = bucket.items[static_cast<std::size_t>(i)].key;
        // The following items move down by one; the array keeps its length.
        for (int j = i + 1; j < bucket.count; ++j)
            bucket.items[static_cast<std::size_t>(j - 1)] =
                bucket.items[static_cast<std::size_t>(j)];
        --bucket.count;
        bucket.items[static_cast<std::size_t>(bucket.count)] = Item{};
        --itemCount_;
        ReleaseKey(stored);
        Grow();
        return true;
    }
    return false;
}

void TCustomPointerBucketList::SetValue(TBucketKey* key, Value value) {
    CheckUnlocked();
    Check(key != nullptr, 1010, "key is not a TBucketKey");
    if (key == nullptr) return;
    Bucket& bucket = buckets_[static_cast<std::size_t>(BucketIndexOf(*key))];
    for (int i = 0; i < bucket.count; ++i) {
        Item& item = bucket.items[static_cast<std::size_t>(i)];
        if (!key->Equals(*item.key)) continue;
        item.value = value;
        // The list keeps the key it already holds; a second, equal key object handed over
        // here would otherwise be lost to its owner.
        if (item.key != key) ReleaseKey(key);
        return;
    }
    Add(key, value);
}

void TCustomPointerBucketList::Grow() {
    if (BucketCount() < MaxBuckets && static_cast<double>(itemCount_) / BucketCount() > MaxLoad)
        Rebucket(itemCount_);
}

void TCustomPointerBucketList::Rebucket(int size) {
    const int newCount = BucketCountFor(size);
    if (newCount <= BucketCount()) return;
    // Old items in old iteration order: old bucket order, then item order.
    std::vector<Item> items;
    items.reserve(static_cast<std::size_t>(itemCount_));
    for (const Bucket& bucket : buckets_)
        for (int i = 0; i < bucket.count; ++i)
            items.push_back(bucket.items[static_cast<std::size_t>(i)]);
    buckets_.assign(static_cast<std::size_t>(newCount), Bucket{});
    for (const Item& item : items)
        AppendToBucket(buckets_[static_cast<std::size_t>(BucketIndexOf(*item.key))], item);
    int count = 0;
    for (const Bucket& bucket : buckets_) count += bucket.count;
    Check(count == itemCount_, 371, "item count changed while re-bucketing");
}

TGenericBucketList::~TGenericBucketList() {
    // A subclass that does not own its keys has already emptied the list in its own
    // destructor, so only keys this class owns are freed here.
    ClearUnchecked();
}

void TGenericBucketList::ReleaseKey(TBucketKey* key) {
    delete key;
}

TBucketListIterator::TBucketListIterator(TCustomPointerBucketList& list) : list_(list) {}

void TBucketListIterator::Reset() {
    started_ = false;
    current_ = false;
    bucket_ = 0;
    item_ = -1;
}

bool TBucketListIterator::Next() {
    if (!started_) {
        started_ = true;
        bucket_ = 0;
        item_ = -1;
    }
    const auto& buckets = list_.Buckets();
    const int bucketCount = static_cast<int>(buckets.size());
    if (bucket_ >= bucketCount) {
        current_ = false;
        return false;
    }
    ++item_;
    while (bucket_ < bucketCount && item_ >= buckets[static_cast<std::size_t>(bucket_)].count) {
        ++bucket_;
        item_ = 0;
    }
    current_ = bucket_ < bucketCount;
    return current_;
}

TCustomPointerBucketList::Value TBucketListIterator::CurrentValue() const {
    if (!current_) throw EEOFException("No current item");
    return list_.Buckets()[static_cast<std::size_t>(bucket_)]
        .items[static_cast<std::size_t>(item_)]
        .value;
}

void TBucketListIterator::SetCurrentValue(TCustomPointerBucketList::Value value) {
    if (!current_) throw EEOFException("No current item");
    list_.buckets_[static_cast<std::size_t>(bucket_)].items[static_cast<std::size_t>(item_)].value =
        value;
}

TBucketKey* TBucketListIterator::CurrentKey() const {
    if (!current_) return nullptr;
    return list_.Buckets()[static_cast<std::size_t>(bucket_)]
        .items[static_cast<std::size_t>(item_)]
        .key;
}

std::vector<THotSpot*> THotSpotList::InOrder() const {
    std::vector<THotSpot*> result;
    result.reserve(static_cast<std::size_t>(Count()));
    for (const Bucket& bucket : Buckets())
        for (int i = 0; i < bucket.count; ++i)
            result.push_back(static_cast<THotSpot*>(bucket.items[static_cast<std::size_t>(i)].key));
    return result;
}

}  // namespace tessaro
