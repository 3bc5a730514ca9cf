#ifndef TALVOR_OBJECTS_D_REF_H
#define TALVOR_OBJECTS_D_REF_H

#include "core/d_Error.h"
#include "objects/d_Ref_Any.h"

// A reference typed by the class of its object; it adds no data, so it lies in
// memory and in records exactly as d_Ref_Any.
template <class T>
class d_Ref : public d_Ref_Any {
public:
    d_Ref() {}
    d_Ref(const d_Ref_Any &other) : d_Ref_Any(other) {}
    d_Ref(const oObjectId &id) : d_Ref_Any(id) {}
    d_Ref(T *object) : d_Ref_Any(object) {}
    d_Ref &operator=(T *object) {
        d_Ref_Any::operator=(object);
        return *this;
    }

    // The object in memory. Loading an object that is not in memory yet is
    // the object runtime's; until then an unresolved reference gives null.
    T *ptr() const { return static_cast<T *>(get_pointer()); }
    T *operator->() const {
        T *object = ptr();
        if (object == nullptr) throw new d_Error(d_Error_RefNull);
        return object;
    }
};

#endif
