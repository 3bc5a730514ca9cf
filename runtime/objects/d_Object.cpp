#include "objects/d_Object.h"

#include <cstring>

#include "core/d_Binary.h"
#include "schema/oInterface.h"

// A freshly built object is transient: no class, no transaction, a null
// identifier. Binding it to a transaction and a class is the object runtime's.
d_Object::d_Object()
    : state(TRANSIENT),
      isNew(true),
      transaction(nullptr),
      image(nullptr),
      interface(nullptr),
      pinned(false),
      oid{0, 0, 0, 0} {}

bool d_Object::reserveIdentity() { return false; }

namespace {
// Grows the buffer to at least size bytes; the added bytes are zeroed so that
// a record never carries stale memory.
bool growZeroed(d_Binary &out, unsigned long size) {
    unsigned long length = out.getLength();
    if (length >= size) return true;
    if (!out.reserve(size)) return false;
    std::memset(out.data() + length, 0, size - length);
    return true;
}
}  // namespace

bool d_Object::toStream(d_Binary &out, oInterface *iface) {
    if (iface == nullptr) iface = interface;
    if (iface == nullptr) return false;
    if (!growZeroed(out, iface->getStreamSize())) return false;
    oArray<oInterface *> &bases = iface->getBases();
    for (unsigned long i = 0; i < bases.getCount(); ++i) {
        if (!toStream(out, bases[i])) return false;
    }
    const char *self = reinterpret_cast<const char *>(this);
    oArray<oMember *> &members = iface->getMembers();
    for (unsigned long i = 0; i < members.getCount(); ++i) {
        if (!memberToStream(self, out, members[i], false)) return false;
    }
    return true;
}

bool d_Object::fromStream(d_Binary &in, oInterface *iface) {
    if (iface == nullptr) iface = interface;
    if (iface == nullptr) return false;
    if (in.getLength() < iface->getStreamSize()) return false;
    oArray<oInterface *> &bases = iface->getBases();
    for (unsigned long i = 0; i < bases.getCount(); ++i) {
        if (!fromStream(in, bases[i])) return false;
    }
    char *self = reinterpret_cast<char *>(this);
    oArray<oMember *> &members = iface->getMembers();
    for (unsigned long i = 0; i < members.getCount(); ++i) {
        if (!memberFromStream(self, in, members[i], false)) return false;
    }
    d_activate();
    return true;
}
