#include "schema/oInterface.h"

#include <cstring>

oInterface::oInterface(const char *name, long kind)
    : name(name),
      id(0),
      mSize(0),
      pSize(0),
      members(64, -1),
      bases(64, -1),
      domain(nullptr),
      refSegStart(DEFAULT_SEG_SIZE),
      refSegStep(DEFAULT_SEG_SIZE),
      kind(static_cast<std::int32_t>(kind)),
      mAlign(1) {}

oInterface::~oInterface() { members.deleteAll(); }

void oInterface::alignMemory(unsigned long alignment) {
    if (alignment > 1 && mSize % alignment != 0) mSize += static_cast<std::uint32_t>(alignment - mSize % alignment);
}

void oInterface::widenAlignment(unsigned long alignment) {
    if (alignment > mAlign) mAlign = static_cast<std::uint32_t>(alignment);
}

unsigned long oInterface::getEmbeddedSize() const {
    unsigned long size = mSize;
    if (size % mAlign != 0) size += mAlign - size % mAlign;
    return size;
}

void oInterface::addBase(oInterface *base) {
    if (base == nullptr) return;
    bases.insert_i(base, bases.getCount());
    // A further base starts at the next offset its alignment allows; the first
    // one starts at 0 and its members keep their offsets.
    alignMemory(base->getMemoryAlignment());
    widenAlignment(base->getMemoryAlignment());
    mSize += base->mSize;
    pSize += base->pSize;
}

oMember *oInterface::searchMember(const char *memberName) const {
    oMember *found = members.searchByName(memberName);
    for (unsigned long i = 0; found == nullptr && i < bases.getCount(); ++i) {
        found = bases[i]->members.searchByName(memberName);
    }
    return found;
}
