#ifndef TALVOR_SCHEMA_OINTERFACE_H
#define TALVOR_SCHEMA_OINTERFACE_H

#include <cstdint>

#include "core/d_String.h"
#include "core/oArray.h"
#include "schema/oMember.h"
#include "schema/oStreamable.h"

class oDomain;

// The description of an interface: its members in declaration order, its
// direct bases, the size of an object in memory and the size of the fixed
// part of its record. An interface is never streamed itself.
class oInterface : public oStreamable {
public:
    static const unsigned long DEFAULT_SEG_SIZE = 10000;

    explicit oInterface(const char *name, long kind = 0);
    ~oInterface() override;
    oInterface(const oInterface &) = delete;
    oInterface &operator=(const oInterface &) = delete;

    bool toStream(d_Binary &, oInterface *) override { return false; }
    bool fromStream(d_Binary &, oInterface *) override { return false; }
    bool toStream() { return false; }
    void registerMember() {}
    void deleteMember() {}

    // Appends the base and adds its memory and record sizes to this one's.
    void addBase(oInterface *base);
    // Own members first, then the own members of each direct base in order.
    oMember *searchMember(const char *memberName) const;

    const d_String &getName() const { return name; }
    std::uint16_t getId() const { return id; }
    void setId(std::uint16_t value) { id = value; }
    unsigned long getMemorySize() const { return mSize; }
    unsigned long getStreamSize() const { return pSize; }
    // Strictest alignment of anything laid out in the object.
    unsigned long getMemoryAlignment() const { return mAlign; }
    // Bytes an object of this interface takes as a member of another object:
    // the memory size rounded up to the alignment, as the compiler pads it.
    unsigned long getEmbeddedSize() const;
    oArray<oMember *> &getMembers() { return members; }
    const oArray<oMember *> &getMembers() const { return members; }
    oArray<oInterface *> &getBases() { return bases; }
    const oArray<oInterface *> &getBases() const { return bases; }
    oDomain *getDomain() const { return domain; }
    void setDomain(oDomain *value) { domain = value; }
    unsigned long getRefSegStart() const { return refSegStart; }
    unsigned long getRefSegStep() const { return refSegStep; }
    void setRefSegStart(unsigned long value) { refSegStart = static_cast<std::uint32_t>(value); }
    void setRefSegStep(unsigned long value) { refSegStep = static_cast<std::uint32_t>(value); }
    long get_kind() const { return kind; }

protected:
    // Grows the memory size to the next multiple of alignment.
    void alignMemory(unsigned long alignment);
    void widenAlignment(unsigned long alignment);

    d_String name;
    std::uint16_t id;
    std::uint32_t mSize;
    std::uint32_t pSize;
    oArray<oMember *> members;
    oArray<oInterface *> bases;
    oDomain *domain;
    std::uint32_t refSegStart;
    std::uint32_t refSegStep;
    std::int32_t kind;
    std::uint32_t mAlign;
};

#endif
