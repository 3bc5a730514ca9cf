#ifndef TALVOR_TEST_KIT_TKITE_H
#define TALVOR_TEST_KIT_TKITE_H

// A stand-in for the client header, used to compile the class files that
// schemac generates: it declares only what generated code refers to.

#include <cstdint>

#include "core/d_Binary.h"
#include "core/d_String.h"

#include "core/d_Types.h"

class d_Object {
public:
    d_Object() {}
    virtual ~d_Object() {}
};

template <class T>
class d_Ref {
public:
    T *operator->() const { return object; }

private:
    T *object = nullptr;
};

template <class T>
class d_Varray {
public:
    T *elements = nullptr;
};

template <class K, class V>
class d_Dictionary {
public:
    K *keys = nullptr;
    V *values = nullptr;
};

#endif
