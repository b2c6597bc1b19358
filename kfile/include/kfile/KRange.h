// Range-for views over the owned objects of a container (a vector of unique_ptr), handing out
// references with the constness of the view, optionally keeping only the objects a filter
// accepts.
#pragma once

#include <cstddef>
#include <iterator>

namespace kfile {

// The filter of an unfiltered view.
struct KKeepAll {
    template <typename T>
    bool operator()(const T&) const {
        return true;
    }
};

template <typename T, typename Base, typename Keep = KKeepAll>
class KIterator {
  public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = T;
    using difference_type = std::ptrdiff_t;
    using pointer = T*;
    using reference = T&;

    KIterator(Base at, Base end, Keep keep) : at_(at), end_(end), keep_(keep) { SkipRejected(); }

    T& operator*() const { return **at_; }
    T* operator->() const { return at_->get(); }
    KIterator& operator++() {
        ++at_;
        SkipRejected();
        return *this;
    }
    KIterator operator++(int) {
        KIterator before = *this;
        ++*this;
        return before;
    }
    bool operator==(const KIterator& other) const { return at_ == other.at_; }
    bool operator!=(const KIterator& other) const { return at_ != other.at_; }

  private:
    void SkipRejected() {
        while (at_ != end_ && !keep_(**at_)) {
            ++at_;
        }
    }

    Base at_;
    Base end_;
    Keep keep_;
};

template <typename T, typename Base, typename Keep = KKeepAll>
class KRange {
  public:
    using iterator = KIterator<T, Base, Keep>;

    KRange(Base begin, Base end, Keep keep = Keep()) : begin_(begin), end_(end), keep_(keep) {}

    iterator begin() const { return iterator(begin_, end_, keep_); }
    iterator end() const { return iterator(end_, end_, keep_); }
    bool empty() const { return begin() == end(); }

  private:
    Base begin_;
    Base end_;
    Keep keep_;
};

// A view of the objects of a container of unique_ptr, as T&.
template <typename T, typename Owners, typename Keep = KKeepAll>
using KOwnedRange = KRange<T, typename Owners::const_iterator, Keep>;

template <typename T, typename Owners, typename Keep = KKeepAll>
KOwnedRange<T, Owners, Keep> MakeRange(const Owners& owners, Keep keep = Keep()) {
    return {owners.begin(), owners.end(), keep};
}

}  // namespace kfile
