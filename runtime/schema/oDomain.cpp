#include "schema/oDomain.h"

#include "schema/oInterface.h"

oDomain::oDomain(const char *name, unsigned short firstId)
    : name(name), interfaces(64, -1), storage(nullptr), nextId(firstId) {}

oDomain::~oDomain() { interfaces.deleteAll(); }

bool oDomain::addInterface(oInterface *iface) {
    if (!interfaces.insert_i(iface, interfaces.getCount())) return false;
    iface->setId(nextId++);
    return true;
}

oInterface *oDomain::searchInterface(const char *interfaceName) const {
    return interfaces.searchByName(interfaceName);
}

oInterface *oDomain::getInterface(unsigned short slot) const {
    return slot < interfaces.getCount() ? interfaces[slot] : nullptr;
}
