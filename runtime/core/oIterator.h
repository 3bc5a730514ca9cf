#ifndef TALVOR_CORE_OITERATOR_H
#define TALVOR_CORE_OITERATOR_H

#include "core/oArray.h"

// A position inside an oArray. Valid while `array` is set and `index` is
// below the array's count; callers step it by incrementing `index`.
template <class T>
class oIterator {
public:
    oIterator() : array(nullptr), index(0) {}
    oIterator(oArray<T> *array, unsigned long index) : array(array), index(index) {}

    bool isValid() const { return array != nullptr && index < array->getCount(); }
    T get() const { return (*array)[index]; }

    // Deletes the element object here and removes its slot; the iterator then
    // rests on the element that took the slot, or on the new last one.
    bool deleteObj() {
        if (array == nullptr || index >= array->getCount()) return false;
        delete (*array)[index];
        array->remove(index);
        unsigned long count = array->getCount();
        if (index >= count) index = count == 0 ? 0 : count - 1;
        return true;
    }

    oArray<T> *array;
    unsigned long index;
};

#endif
