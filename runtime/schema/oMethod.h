#ifndef TALVOR_SCHEMA_OMETHOD_H
#define TALVOR_SCHEMA_OMETHOD_H

#include "schema/oMember.h"

// A function member: no offsets, no sizes, never persistent, never streamed.
class oMethod : public oMember {
public:
    typedef void (*function_t)();

    oMethod(const char *name, function_t function);
    function_t getFunction() const { return function; }

private:
    function_t function;
};

#endif
