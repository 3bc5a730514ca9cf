#ifndef TALVOR_SCHEMA_ODOMAIN_H
#define TALVOR_SCHEMA_ODOMAIN_H

#include <cstdint>

#include "core/d_String.h"
#include "core/oArray.h"

class oInterface;
class oStorage;

// A named set of interfaces: the System classes, or the classes of one open
// database. Ids are handed out in registration order and interfaces are never
// removed one by one, so the interface with id first + k sits in slot k.
class oDomain {
public:
    oDomain(const char *name, unsigned short firstId);
    ~oDomain();
    oDomain(const oDomain &) = delete;
    oDomain &operator=(const oDomain &) = delete;

    // Gives the interface the next id and appends it; false when the slot
    // array cannot grow.
    bool addInterface(oInterface *iface);
    oInterface *searchInterface(const char *interfaceName) const;
    // The interface in the given slot; null past the last one.
    oInterface *getInterface(unsigned short slot) const;
    oIterator<oInterface *> getInterfaces() { return oIterator<oInterface *>(&interfaces, 0); }
    unsigned long getCount() const { return interfaces.getCount(); }

    const d_String &getName() const { return name; }
    oStorage *getStorage() const { return storage; }
    void setStorage(oStorage *value) { storage = value; }
    unsigned short getNextId() const { return nextId; }

private:
    d_String name;
    oArray<oInterface *> interfaces;
    oStorage *storage;
    std::uint16_t nextId;
};

#endif
