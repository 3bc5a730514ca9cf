#ifndef TALVOR_SCHEMA_OMEMBER_H
#define TALVOR_SCHEMA_OMEMBER_H

#include <cstdint>

#include "core/d_String.h"

class oInterface;

// One member of a class description: where it lies in an object in memory
// (mOffset, mSize) and, when persistent, where its slot lies in the fixed part
// of the record (pOffset, pSize).
class oMember {
public:
    // Member type codes; the values are stored in the dictionary and shared by
    // the record format and the query engine.
    enum types {
        tNone = 0,
        tShort = 1,
        tUShort = 2,
        tLong = 3,
        tULong = 4,
        tFloat = 5,
        tDouble = 6,
        tChar = 7,
        tOctet = 8,
        tBoolean = 9,
        tString = 10,
        tRef = 11,
        tArray = 12,
        tVector = 13,
        tBinary = 14,
        tObject = 15,
        tParam = 16,
        tPointer = 17
    };
    enum persistent { TRANSIENT = 0, PERSISTENT = 1 };
    static const unsigned TYPE_COUNT = 18;

    // Bytes a member of each type takes in memory on this build (tObject: 0,
    // its size comes from the embedded interface).
    static const unsigned long mTypeSizes[TYPE_COUNT];
    // Alignment of each type in memory on this build.
    static const unsigned long mTypeAligns[TYPE_COUNT];
    // Bytes of the record slot of each type; the same on every build.
    static const unsigned long pTypeSizes[TYPE_COUNT];

    virtual ~oMember() {}

    static types parseType(const char *typeName);
    static unsigned long getMemorySize(types type);
    static unsigned long getMemoryAlignment(types type);
    static unsigned long getStreamSize(types type);
    // True for the types whose record slot is a copy of the memory bytes
    // (tShort..tBoolean) or the identifier of a reference.
    static bool isFixedSlot(types type) { return (type >= tShort && type <= tBoolean) || type == tRef; }
    // True for the types whose slot is an offset/length descriptor.
    static bool isDescribed(types type) {
        return type == tString || type == tBinary || type == tArray || type == tVector || type == tObject;
    }

    long getKind() const { return kind; }
    const d_String &getName() const { return name; }
    std::uint16_t getId() const { return id; }
    types getType() const { return type; }
    persistent getPersistence() const { return pers; }
    bool isPersistent() const { return pers == PERSISTENT; }
    unsigned long getMemoryOffset() const { return mOffset; }
    unsigned long getMemorySize() const { return mSize; }
    unsigned long getStreamOffset() const { return pOffset; }
    unsigned long getStreamSize() const { return pSize; }
    unsigned long getItems() const { return items; }
    oInterface *getEmbeddedInterface() const { return embInterface; }
    // The dictionary copies these two; the schema operations never set them.
    void setId(std::uint16_t value) { id = value; }
    void setItems(unsigned long value) { items = static_cast<std::uint32_t>(value); }

protected:
    oMember(long kind, const char *name, types type, persistent pers);

    std::int32_t kind;
    d_String name;
    std::uint16_t id;
    std::uint32_t mOffset;
    std::uint32_t mSize;
    std::uint32_t pOffset;
    std::uint32_t pSize;
    types type;
    persistent pers;
    std::uint32_t items;
    oInterface *embInterface;

    friend class oClass;
};

#endif
