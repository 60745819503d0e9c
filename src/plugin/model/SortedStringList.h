// A string list kept sorted, accepting duplicate strings: the model's map from a text key to
// an object. Keys compare without regard to letter case; a lookup finds the lowest-sorted
// of equal keys, and iteration follows the sorted order.
#pragma once

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "platform/Platform.h"

namespace tessaro {

template <class T>
class TSortedStringList {
  public:
    using Entry = std::pair<std::string, T>;

    // Inserts before any equal keys (where a sorted search lands) and returns the position.
    int Add(const std::string& key, T object) {
        auto it = LowerBound(key);
        int index = static_cast<int>(it - entries_.begin());
        entries_.insert(it, Entry{key, object});
        return index;
    }
    // The position of the lowest-sorted equal key, or -1.
    int IndexOf(const std::string& key) const {
        auto it = LowerBound(key);
        if (it != entries_.end() && platform::CompareText(it->first, key) == 0)
            return static_cast<int>(it - entries_.begin());
        return -1;
    }
    // The object of the lowest-sorted equal key, or T{}.
    T Find(const std::string& key) const {
        int i = IndexOf(key);
        return i < 0 ? T{} : entries_[static_cast<std::size_t>(i)].second;
    }
    bool Contains(const std::string& key) const { return IndexOf(key) >= 0; }
    void Delete(int index) { entries_.erase(entries_.begin() + index); }
    void Clear() { entries_.clear(); }

    int Count() const { return static_cast<int>(entries_.size()); }
    bool Empty() const { return entries_.empty(); }
    const std::string& Key(int index) const {
        return entries_[static_cast<std::size_t>(index)].first;
    }
    T Object(int index) const { return entries_[static_cast<std::size_t>(index)].second; }

    auto begin() const { return entries_.begin(); }
    auto end() const { return entries_.end(); }

  private:
    typename std::vector<Entry>::const_iterator LowerBound(const std::string& key) const {
        return std::lower_bound(entries_.begin(), entries_.end(), key,
                                [](const Entry& e, const std::string& k) {
                                    return platform::CompareText(e.first, k) < 0;
                                });
    }
    typename std::vector<Entry>::iterator LowerBound(const std::string& key) {
        return std::lower_bound(entries_.begin(), entries_.end(), key,
                                [](const Entry& e, const std::string& k) {
                                    return platform::CompareText(e.first, k) < 0;
                                });
    }
    std::vector<Entry> entries_;
};

}  // namespace tessaro
