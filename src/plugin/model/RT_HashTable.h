// The general hash bucket list: keys with their own hash and equality mapped to a 32-bit
// value, in buckets whose count grows with the content. Its iteration order (bucket by
// bucket, items in insertion order) is part of its contract: callers break ties by it.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <vector>

namespace tessaro {

class EListError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};
class EEOFException : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The base class of keys.
class TBucketKey {
  public:
    virtual ~TBucketKey() = default;
    virtual std::uint32_t Hash() const = 0;
    virtual bool Equals(const TBucketKey& other) const = 0;
};

class TCustomPointerBucketList {
  public:
    using Value = std::intptr_t;
    struct Item {
        TBucketKey* key = nullptr;
        Value value = 0;
    };
    struct Bucket {
        int count = 0;
        std::vector<Item> items;  // items.size() is the array's length, >= count
    };

    explicit TCustomPointerBucketList(int capacityHint);
    virtual ~TCustomPointerBucketList();
    TCustomPointerBucketList(const TCustomPointerBucketList&) = delete;
    TCustomPointerBucketList& operator=(const TCustomPointerBucketList&) = delete;

    // False (and nothing changed) when an equal key is present.
    bool Add(TBucketKey* key, Value value);
    void Clear();
    bool Find(const TBucketKey& key, Value* value = nullptr) const;
    Value GetValue(const TBucketKey& key) const;
    bool Remove(const TBucketKey& key);
    void SetValue(TBucketKey* key, Value value);

    int Count() const { return itemCount_; }
    int BucketCount() const { return static_cast<int>(buckets_.size()); }
    const std::vector<Bucket>& Buckets() const { return buckets_; }
    int BucketIndexOf(const TBucketKey& key) const;

    // While a for-each runs, changes raise EListError.
    void LockForEach() { ++lockCount_; }
    void UnlockForEach() { --lockCount_; }
    bool DefaultOnMissing() const { return defaultOnMissing_; }
    void SetDefaultOnMissing(bool value) { defaultOnMissing_ = value; }

  protected:
    // Called for each key whose item is deleted.
    virtual void ReleaseKey(TBucketKey* key) = 0;
    // Clear without the lock check, for destructors: each class whose ReleaseKey differs
    // from its base's empties the list in its own destructor, while its hook still applies.
    void ClearUnchecked() noexcept;

  private:
    friend class TBucketListIterator;
    void AppendToBucket(Bucket& bucket, const Item& item);
    void Grow();
    void Rebucket(int size);
    static int BucketCountFor(int size);
    void CheckUnlocked() const;

    std::vector<Bucket> buckets_;
    int itemCount_ = 0;
    int lockCount_ = 0;
    bool clearing_ = false;
    bool defaultOnMissing_ = true;
};

// Keys are objects the list owns: it frees them when their items are deleted.
class TGenericBucketList : public TCustomPointerBucketList {
  public:
    using TCustomPointerBucketList::TCustomPointerBucketList;
    ~TGenericBucketList() override;

  protected:
    void ReleaseKey(TBucketKey* key) override;
};

class THashTableIterator {
  public:
    virtual ~THashTableIterator() = default;
    virtual TCustomPointerBucketList::Value CurrentValue() const = 0;
    virtual void SetCurrentValue(TCustomPointerBucketList::Value value) = 0;
    virtual TBucketKey* CurrentKey() const = 0;
    virtual bool Next() = 0;
};

// Walks a list in its iteration order. A fresh iterator's first Next moves to the first item.
class TBucketListIterator : public THashTableIterator {
  public:
    explicit TBucketListIterator(TCustomPointerBucketList& list);
    TCustomPointerBucketList::Value CurrentValue() const override;
    void SetCurrentValue(TCustomPointerBucketList::Value value) override;
    TBucketKey* CurrentKey() const override;
    bool Next() override;
    void Reset();

  private:
    TCustomPointerBucketList& list_;
    int bucket_ = 0;
    int item_ = -1;
    bool started_ = false;
    bool current_ = false;
};

}  // namespace tessaro
