#ifndef TALVOR_CORE_OVECTOR_H
#define TALVOR_CORE_OVECTOR_H

#include <algorithm>
#include <cstring>
#include <typeinfo>
#include <vector>

#include "schema/oDynaObject.h"
#include "schema/oStreamable.h"

// A standard vector that can write its elements into a byte buffer and read
// them back. The pointer-only helpers (destroy, deleteAll, searchByName) are
// instantiated only by the pointer instances that use them.
template <class T>
class oVector : public std::vector<T>, public oStreamable {
public:
    using std::vector<T>::vector;
    oVector() = default;
    oVector(const oVector &) = default;
    oVector &operator=(const oVector &) = default;
    ~oVector() override = default;

    // Erases the first element equal to `element`; the pointed object stays.
    bool destroy(const T &element) {
        auto found = std::find(this->begin(), this->end(), element);
        if (found == this->end()) return false;
        this->erase(found);
        return true;
    }

    void deleteAll() {
        for (T &element : *this) delete element;
        this->clear();
    }

    T searchByName(const char *name) const {
        for (const T &element : *this) {
            if (std::strcmp(element->getName().c_str(), name) == 0) return element;
        }
        return nullptr;
    }

    // Appends the elements as a length-prefixed sequence, typed by the
    // element type's name looked up in the domain of the interface. A failed
    // write takes back what it appended, so no half sequence is left behind.
    bool toStream(d_Binary &out, oInterface *iface) override {
        oDynaObject description(typeid(T).name(), oDynaObject::domainOf(iface));
        unsigned long start = out.getLength();
        for (const T &element : *this) {
            if (!oStreamable::appendElement(element, out, description)) {
                out.truncate(start);
                return false;
            }
        }
        return true;
    }

    // Appends the elements read from the buffer; the vector is not emptied.
    bool fromStream(d_Binary &in, oInterface *iface) override {
        oDynaObject description(typeid(T).name(), oDynaObject::domainOf(iface));
        return oStreamable::readElements<T>(in, description, iface,
                                            [this](const T &element) {
                                                this->push_back(element);
                                                return true;
                                            });
    }
};

#endif
