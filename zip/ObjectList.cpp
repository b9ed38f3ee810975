#include "zip/ObjectList.h"

namespace objectlist {

int GrownCapacity(int capacity) {
  if (capacity > 8) return capacity + 16;
  if (capacity > 4) return capacity + 8;
  return capacity + 4;
}

void ThrowDuplicate() { throw EListError("Duplicate Object index"); }

void ThrowPutInSorted() { throw EListError("Cannot <Put> an Object in a sorted list!"); }

void ThrowIndexOutOfRange(int index) {
  throw EListError("Index " + std::to_string(index) + " is out of range");
}

}  // namespace objectlist
