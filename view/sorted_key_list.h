// sorted_key_list: a list of (text key, data block) entries that can be sorted by key and searched by
// key; the draw batch files its vertex records in it, the DXF exchange uses it as a key set.
#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Keys compare byte by byte as unsigned bytes; a prefix sorts before the longer key.
inline int compare_keys(std::string_view a, std::string_view b) {
    return a.compare(b); // char_traits<char> compares as unsigned char
}

template <class T> class sorted_key_list {
  public:
    struct entry {
        std::string key;
        std::unique_ptr<T> data; // owned by the list from insertion on
    };

    bool sort_on_add = false;

    sorted_key_list() { entries_.reserve(1024); }

    int count() const { return int(entries_.size()); }

    // The data block of entry i; null when i is outside 0 .. count - 1.
    T* item(int i) const {
        if (i < 0 || i >= count()) return nullptr;
        return entries_[std::size_t(i)].data.get();
    }
    const std::string* key(int i) const {
        if (i < 0 || i >= count()) return nullptr;
        return &entries_[std::size_t(i)].key;
    }

    void add(std::string key, std::unique_ptr<T> data) {
        entries_.push_back({std::move(key), std::move(data)});
        if (sort_on_add) sort();
    }

    // Ascending by key; the relative order of equal keys is not kept.
    void sort() {
        std::sort(entries_.begin(), entries_.end(),
                  [](const entry& a, const entry& b) { return compare_keys(a.key, b.key) < 0; });
    }

    // Lowest index whose key equals `key`, or -1. The list must be sorted.
    int find(std::string_view key) const {
        int low = 0, high = count() - 1;
        while (low <= high) {
            const int middle = (low + high) / 2;
            const int c = compare_keys(key, entries_[std::size_t(middle)].key);
            if (c < 0) {
                high = middle - 1;
            } else if (c > 0) {
                low = middle + 1;
            } else {
                int first = middle;
                while (first > 0 && entries_[std::size_t(first - 1)].key == key)
                    --first;
                return first;
            }
        }
        return -1;
    }

    // Releases every entry (key and data block); the list becomes empty.
    void clear() { entries_.clear(); }
    // Gives back the reserved places so that the capacity equals count.
    void pack() { entries_.shrink_to_fit(); }
    std::size_t capacity() const { return entries_.capacity(); }

    const std::vector<entry>& entries() const { return entries_; }

  private:
    std::vector<entry> entries_;
};
