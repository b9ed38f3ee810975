// TObjectList: a list of object pointers that may own its objects, with a capacity that
// grows in small steps; TSortedObjectList keeps its objects in the order of a comparison
// and refuses, ignores or accepts duplicates.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/Exception.h"

// "Duplicate Object index", "Cannot <Put> an Object in a sorted list!",
// "Index %d is out of range".
class EListError : public Exception { using Exception::Exception; };

namespace objectlist {
// The capacity after appending to a full list of the given capacity.
int GrownCapacity(int capacity);
[[noreturn]] void ThrowDuplicate();
[[noreturn]] void ThrowPutInSorted();
[[noreturn]] void ThrowIndexOutOfRange(int index);
}  // namespace objectlist

template <class T>
class TObjectList {
 public:
  explicit TObjectList(bool ownsObjects = true) : owns_(ownsObjects) {}
  virtual ~TObjectList() { Clear(); }
  TObjectList(const TObjectList&) = delete;
  TObjectList& operator=(const TObjectList&) = delete;

  bool OwnsObjects() const { return owns_; }
  int Count() const { return static_cast<int>(items_.size()); }
  int Capacity() const { return capacity_; }
  // Indexes are the caller's to keep within Count().
  T* operator[](int index) const { return items_[index]; }
  T* First() const { return items_.front(); }
  T* Last() const { return items_.back(); }

  int Add(T* object) {
    Insert(Count(), object);
    return Count() - 1;
  }
  // Later items move up by one.
  void Insert(int index, T* object) {
    if (Count() == capacity_) SetCapacity(objectlist::GrownCapacity(capacity_));
    items_.insert(items_.begin() + index, object);
  }
  // Replaces the item at index; an owning list frees the old one.
  virtual void Put(int index, T* object) {
    T* old = items_[index];
    items_[index] = object;
    if (owns_ && old != object) delete old;
  }
  // Removes the item at index; an owning list frees it.
  void Delete(int index) {
    T* old = items_[index];
    items_.erase(items_.begin() + index);
    if (owns_) delete old;
  }
  int IndexOf(const T* object) const {
    for (int i = 0; i < Count(); ++i) {
      if (items_[i] == object) return i;
    }
    return -1;
  }
  void SetCapacity(int capacity) {
    if (capacity < Count()) capacity = Count();
    capacity_ = capacity;
    items_.reserve(static_cast<size_t>(capacity));
  }
  // New slots are empty; an owning list frees the items cut off.
  void SetCount(int count) {
    while (Count() > count) Delete(Count() - 1);
    if (count > capacity_) SetCapacity(count);
    items_.resize(static_cast<size_t>(count), nullptr);
  }
  void Clear() {
    if (owns_) {
      for (T* item : items_) delete item;
    }
    items_.clear();
    capacity_ = 0;
    items_.shrink_to_fit();
  }

 protected:
  std::vector<T*> items_;

 private:
  bool owns_;
  int capacity_ = 0;
};

enum class TDuplicates { Ignore, Accept, Error };

template <class T>
class TSortedObjectList : public TObjectList<T> {
 public:
  TSortedObjectList(TDuplicates duplicates, bool ownsObjects)
      : TObjectList<T>(ownsObjects), duplicates_(duplicates) {}

  TDuplicates Duplicates() const { return duplicates_; }

  // Binary search for key: whether an equal object is present, and in index the position
  // where key stands (refuse and ignore policies) or would be inserted.
  bool Find(const T* key, int& index) const {
    bool found = false;
    int low = 0;
    int high = this->Count() - 1;
    while (low <= high) {
      const int mid = (low + high) / 2;
      const int c = Compare(this->items_[mid], key);
      if (c < 0) {
        low = mid + 1;
      } else {
        high = mid - 1;
        if (c == 0) {
          found = true;
          if (duplicates_ != TDuplicates::Accept) low = mid;
        }
      }
    }
    index = low;
    return found;
  }

  // Inserts object in order. An equal object present: Error raises "Duplicate Object
  // index", Ignore returns -1 without adding, Accept inserts before the equal ones. On -1
  // or a raise the caller still owns object.
  int Add(T* object) {
    int index;
    if (Find(object, index)) {
      if (duplicates_ == TDuplicates::Error) objectlist::ThrowDuplicate();
      if (duplicates_ == TDuplicates::Ignore) return -1;
    }
    this->Insert(index, object);
    return index;
  }
  // Adds an object to an owning list; it is freed when it is not added.
  int AddOwned(std::unique_ptr<T> object) {
    const int index = Add(object.get());
    if (index >= 0 && this->OwnsObjects()) object.release();
    return index;
  }

  void Put(int, T*) override { objectlist::ThrowPutInSorted(); }

 protected:
  // Below 0 when a (an item of the list) goes before b (the key).
  virtual int Compare(const T* a, const T* b) const = 0;

 private:
  TDuplicates duplicates_;
};
