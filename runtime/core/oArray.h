#ifndef TALVOR_CORE_OARRAY_H
#define TALVOR_CORE_OARRAY_H

#include <cstdint>
#include <cstring>
#include <string>
#include <typeinfo>

#include "core/d_Binary.h"
#include "core/d_Error.h"
#include "core/oMemoryManager.h"
#include "schema/oDynaObject.h"
#include "schema/oStreamable.h"
template <class T>
class oIterator;

// Growable array of element pointers with lookup by name and by id.
// Elements sit in slots 0..count-1 without gaps; the array never owns the
// pointed objects except through deleteAll() and oIterator::deleteObj().
// Lookup by name needs `getName()` on the element type (returning a d_String),
// lookup by id needs `getId()`.
template <class T>
class oArray : public oStreamable {
public:
    explicit oArray(unsigned long size, long step = -1)
        : count(0),
          elemType(nullptr),
          slots(nullptr),
          capacity(static_cast<std::uint32_t>(size)),
          step(static_cast<std::uint32_t>(step == -1 ? size / 2 : step)),
          itemWidth(sizeof(T)) {
        if (size == 0) return;
        // A slot count whose byte size does not fit the address space (or whose
        // count does not fit the 32-bit capacity) could never be allocated; it
        // must not wrap around into a small block that later inserts overrun.
        unsigned long long bytes = static_cast<unsigned long long>(size) * sizeof(T);
        bool countFits = static_cast<std::uint32_t>(size) == size;
        bool bytesFit = static_cast<unsigned long>(bytes) == bytes;
        if (!countFits || !bytesFit) raiseTooLarge(bytes);
        slots = static_cast<T *>(oMemoryManager::alloc(static_cast<unsigned long>(bytes), "oArray::oArray"));
    }
    oArray(const oArray &) = delete;
    oArray &operator=(const oArray &) = delete;
    ~oArray() override {
        delete elemType;
        oMemoryManager::free(slots);
    }

    unsigned long getCount() const { return count; }
    unsigned long getCapacity() const { return capacity; }
    unsigned long getStep() const { return step; }
    oDynaObject *getElemType() const { return elemType; }
    // Unchecked slot access; callers stay below getCount().
    T &operator[](unsigned long index) { return slots[index]; }
    const T &operator[](unsigned long index) const { return slots[index]; }

    // Inserts before slot `at`; an index beyond count appends.
    bool insert_i(const T &element, unsigned long at) {
        if (count == capacity && !grow()) return false;
        if (at > count) at = count;
        std::memmove(slots + at + 1, slots + at, (count - at) * sizeof(T));
        slots[at] = element;
        ++count;
        return true;
    }

    bool remove(unsigned long at) {
        if (at >= count) return false;
        std::memmove(slots + at, slots + at + 1, (count - at - 1) * sizeof(T));
        --count;
        return true;
    }

    bool remove(const T &element) {
        for (std::uint32_t i = 0; i < count; ++i) {
            if (slots[i] == element) return remove(i);
        }
        return false;
    }

    bool replace(const T &element, unsigned long at) {
        if (at >= count) return false;
        slots[at] = element;
        return true;
    }

    // Copies the elements of `source`, growing to its capacity when smaller.
    bool assign(oArray<T> &source) {
        if (&source == this) return true;  // the slots would be copied onto themselves
        if (capacity < source.capacity) {
            T *grown;
            try {
                grown = static_cast<T *>(oMemoryManager::realloc(slots, source.capacity * sizeof(T)));
            } catch (d_Error *error) {
                delete error;
                return false;
            }
            slots = grown;
            capacity = source.capacity;
        }
        if (source.count != 0) std::memcpy(slots, source.slots, source.count * sizeof(T));
        count = source.count;
        return true;
    }

    void deleteAll() {
        for (std::uint32_t i = 0; i < count; ++i) delete slots[i];
        count = 0;
    }

    T searchByName(const char *name) const {
        long at = indexOfName(name);
        return at < 0 ? nullptr : slots[at];
    }

    T searchById(unsigned long id) const {
        for (std::uint32_t i = 0; i < count; ++i) {
            if (slots[i]->getId() == id) return slots[i];
        }
        return nullptr;
    }

    oIterator<T> iterByName(const char *name) {
        long at = indexOfName(name);
        return at < 0 ? oIterator<T>() : oIterator<T>(this, static_cast<unsigned long>(at));
    }

    T last() const { return count == 0 ? nullptr : slots[count - 1]; }

    // Appends the elements as a length-prefixed sequence. An array learns its
    // element type only from a read: before that it writes nothing (false).
    // A failed write takes back what it appended.
    bool toStream(d_Binary &out, oInterface *) override {
        if (elemType == nullptr) return false;
        unsigned long start = out.getLength();
        for (std::uint32_t i = 0; i < count; ++i) {
            if (!oStreamable::appendElement(slots[i], out, *elemType)) {
                out.truncate(start);
                return false;
            }
        }
        return true;
    }

    // Takes a new element type description (the previous one is released),
    // then appends the elements read from the buffer.
    bool fromStream(d_Binary &in, oInterface *iface) override {
        delete elemType;
        elemType = nullptr;
        elemType = new oDynaObject(typeid(T).name(), oDynaObject::domainOf(iface));
        return oStreamable::readElements<T>(in, *elemType, iface,
                                            [this](const T &element) { return insert_i(element, count); });
    }

private:
    [[noreturn]] static void raiseTooLarge(unsigned long long bytes) {
        d_Error *error = new d_Error(d_Error_OutOfMemory);
        *error << " (size=" << std::to_string(bytes).c_str() << ").";
        throw error;
    }

    bool grow() {
        if (step == 0) return false;
        T *grown;
        try {
            grown = static_cast<T *>(oMemoryManager::realloc(slots, (capacity + step) * sizeof(T)));
        } catch (d_Error *error) {
            delete error;
            return false;
        }
        slots = grown;
        capacity += step;
        return true;
    }

    long indexOfName(const char *name) const {
        for (std::uint32_t i = 0; i < count; ++i) {
            if (std::strcmp(slots[i]->getName().c_str(), name) == 0) return static_cast<long>(i);
        }
        return -1;
    }

    std::uint32_t count;
    oDynaObject *elemType;
    T *slots;
    std::uint32_t capacity;
    std::uint32_t step;
    std::uint16_t itemWidth;
};

#include "core/oIterator.h"

#endif
