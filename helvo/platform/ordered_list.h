// An ordered list with stable positions: the model's pointer lists and string lists. Positions are
// iterators that stay valid while other elements are added or removed; a default Position is "none".
// The list never owns what its pointers point to: the container that holds a list of objects deletes
// them (see the owners' destructors).
#pragma once

#include <algorithm>
#include <cstddef>
#include <list>
#include <string>

namespace helvo {

template <class T>
class OrderedList {
 public:
  using Storage = std::list<T>;

  class Position {
   public:
    Position() = default;
    explicit operator bool() const { return valid_; }
    bool operator==(const Position& o) const { return valid_ == o.valid_ && (!valid_ || it_ == o.it_); }

   private:
    friend class OrderedList;
    explicit Position(typename Storage::iterator it) : it_(it), valid_(true) {}
    typename Storage::iterator it_{};
    bool valid_ = false;
  };

  OrderedList() = default;
  OrderedList(const OrderedList&) = default;
  OrderedList& operator=(const OrderedList&) = default;

  size_t GetCount() const { return items_.size(); }
  bool IsEmpty() const { return items_.empty(); }

  Position AddTail(T value) {
    items_.push_back(std::move(value));
    return Position(std::prev(items_.end()));
  }
  Position AddHead(T value) {
    items_.push_front(std::move(value));
    return Position(items_.begin());
  }
  // Inserts before/after pos. As in the framework the model was first written for, a position of
  // none inserts at the head (InsertBefore) or at the tail (InsertAfter).
  Position InsertBefore(Position pos, T value) {
    return Position(items_.insert(pos ? pos.it_ : items_.begin(), std::move(value)));
  }
  Position InsertAfter(Position pos, T value) {
    return Position(items_.insert(pos ? std::next(pos.it_) : items_.end(), std::move(value)));
  }

  // Head and tail access; calling these on an empty list is a programming error.
  T& GetHead() { return items_.front(); }
  T& GetTail() { return items_.back(); }
  const T& GetHead() const { return items_.front(); }
  const T& GetTail() const { return items_.back(); }
  T RemoveHead() {
    T v = std::move(items_.front());
    items_.pop_front();
    return v;
  }
  T RemoveTail() {
    T v = std::move(items_.back());
    items_.pop_back();
    return v;
  }

  void RemoveAt(Position pos) {
    if (pos) items_.erase(pos.it_);
  }
  void RemoveAll() { items_.clear(); }

  Position GetHeadPosition() { return items_.empty() ? Position() : Position(items_.begin()); }
  Position GetTailPosition() { return items_.empty() ? Position() : Position(std::prev(items_.end())); }

  // Returns the element at pos and moves pos to the next one (none after the tail).
  T& GetNext(Position& pos) {
    T& v = *pos.it_;
    ++pos.it_;
    if (pos.it_ == items_.end()) pos = Position();
    return v;
  }
  // Returns the element at pos and moves pos to the previous one (none before the head).
  T& GetPrev(Position& pos) {
    T& v = *pos.it_;
    if (pos.it_ == items_.begin())
      pos = Position();
    else
      --pos.it_;
    return v;
  }
  T& GetAt(Position pos) { return *pos.it_; }
  void SetAt(Position pos, T value) { *pos.it_ = std::move(value); }

  // The position of the first element equal to value (after start when given), or none.
  Position Find(const T& value, Position after = Position()) {
    auto it = after ? std::next(after.it_) : items_.begin();
    it = std::find(it, items_.end(), value);
    return it == items_.end() ? Position() : Position(it);
  }
  // The position of the index-th element (0-based), or none.
  Position FindIndex(size_t index) {
    if (index >= items_.size()) return Position();
    return Position(std::next(items_.begin(), static_cast<std::ptrdiff_t>(index)));
  }

  auto begin() { return items_.begin(); }
  auto end() { return items_.end(); }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  Storage items_;
};

template <class T>
using PtrList = OrderedList<T*>;
using StringList = OrderedList<std::string>;

}  // namespace helvo
