#include "schema/oMember.h"

#include <cstring>

#include "core/oArray.h"
#include "core/oVector.h"
#include "objects/d_Ref_Any.h"
#include "tkite.h"

// The memory figures are this build's own, so that computed offsets match the
// members of the compiled classes; the slot sizes are the stored format.
const unsigned long oMember::mTypeSizes[TYPE_COUNT] = {
    0,                              // tNone
    sizeof(d_Short),                // tShort
    sizeof(d_UShort),               // tUShort
    sizeof(d_Long),                 // tLong
    sizeof(d_ULong),                // tULong
    sizeof(d_Float),                // tFloat
    sizeof(d_Double),               // tDouble
    sizeof(d_Char),                 // tChar
    sizeof(d_Octet),                // tOctet
    sizeof(d_Boolean),              // tBoolean
    sizeof(d_String),               // tString
    sizeof(d_Ref_Any),              // tRef
    sizeof(oArray<void *>),         // tArray
    sizeof(oVector<d_Ref_Any>),     // tVector
    sizeof(d_Binary),               // tBinary
    0,                              // tObject
    0,                              // tParam
    sizeof(void *),                 // tPointer
};

const unsigned long oMember::mTypeAligns[TYPE_COUNT] = {
    alignof(void *),                // tNone
    alignof(d_Short),               // tShort
    alignof(d_UShort),              // tUShort
    alignof(d_Long),                // tLong
    alignof(d_ULong),               // tULong
    alignof(d_Float),               // tFloat
    alignof(d_Double),              // tDouble
    alignof(d_Char),                // tChar
    alignof(d_Octet),               // tOctet
    alignof(d_Boolean),             // tBoolean
    alignof(d_String),              // tString
    alignof(d_Ref_Any),             // tRef
    alignof(oArray<void *>),        // tArray
    alignof(oVector<d_Ref_Any>),    // tVector
    alignof(d_Binary),              // tBinary
    alignof(void *),                // tObject without a known interface
    alignof(void *),                // tParam
    alignof(void *),                // tPointer
};

const unsigned long oMember::pTypeSizes[TYPE_COUNT] = {
    0, 2, 2, 4, 4, 4, 8, 1, 1, 1, 8, 8, 8, 8, 8, 8, 0, 4,
};

static_assert(sizeof(d_Short) == 2 && sizeof(d_Long) == 4 && sizeof(d_Float) == 4 && sizeof(d_Double) == 8 &&
                  sizeof(d_Char) == 1 && sizeof(d_Boolean) == 1,
              "the fixed-size types are copied byte for byte into their record slots");

namespace {
struct TypeName {
    const char *name;
    oMember::types type;
};

// Exact names, in the order they are tried.
const TypeName kTypeNames[] = {
    {"d_Short", oMember::tShort},     {"short", oMember::tShort},
    {"d_UShort", oMember::tUShort},   {"unsigned short", oMember::tUShort},
    {"d_Long", oMember::tLong},       {"long", oMember::tLong},
    {"d_ULong", oMember::tULong},     {"unsigned long", oMember::tULong},
    {"d_Float", oMember::tFloat},     {"float", oMember::tFloat},
    {"d_Double", oMember::tDouble},   {"double", oMember::tDouble},
    {"d_Char", oMember::tChar},       {"char", oMember::tChar},
    {"unsigned char", oMember::tChar}, {"d_Octet", oMember::tOctet},
    {"d_Boolean", oMember::tBoolean}, {"bool", oMember::tBoolean},
    {"d_String", oMember::tString},   {"string", oMember::tString},
};
}  // namespace

oMember::oMember(long kind, const char *name, types type, persistent pers)
    : kind(static_cast<std::int32_t>(kind)),
      name(name),
      id(0),
      mOffset(0),
      mSize(0),
      pOffset(0),
      pSize(0),
      type(type),
      pers(pers),
      items(0),
      embInterface(nullptr) {}

oMember::types oMember::parseType(const char *typeName) {
    if (typeName == nullptr) return tObject;
    for (const TypeName &entry : kTypeNames) {
        if (std::strcmp(typeName, entry.name) == 0) return entry.type;
    }
    if (std::strncmp(typeName, "d_Ref", 5) == 0) return tRef;
    if (std::strcmp(typeName, "d_Binary") == 0) return tBinary;
    return tObject;
}

unsigned long oMember::getMemorySize(types type) { return type < TYPE_COUNT ? mTypeSizes[type] : 0; }

unsigned long oMember::getMemoryAlignment(types type) { return type < TYPE_COUNT ? mTypeAligns[type] : 1; }

unsigned long oMember::getStreamSize(types type) { return type < TYPE_COUNT ? pTypeSizes[type] : 0; }
