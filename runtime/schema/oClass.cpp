#include "schema/oClass.h"

#include <cstddef>
#include <cstring>

#include "objects/d_Object.h"
#include "schema/oInterfaceManager.h"

namespace {
// The first member of a class derived from d_Object lands right after the
// base's data: in the base's tail padding where the ABI allows it.
struct FirstMemberProbe : d_Object {
    char first;
};
}  // namespace

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
const unsigned long oClass::cPersistentHeader = offsetof(FirstMemberProbe, first);
#pragma GCC diagnostic pop
const unsigned long oClass::cVirtualClass = sizeof(void *);

oClass::oClass(const char *name) : oInterface(name, 1), abstract(0), embeddedMembers(0) {}

oInterface *oClass::resolveEmbedded(const d_String &embeddedTypeName, bool &named) {
    named = false;
    if (embeddedTypeName.empty()) return nullptr;
    // "domain::interface": the domain before the first ':', the interface
    // after the run of ':' up to the next ':' or the end.
    const char *text = embeddedTypeName.c_str();
    const char *colon = std::strchr(text, ':');
    if (colon == nullptr) return nullptr;
    const char *start = colon;
    while (*start == ':') ++start;
    const char *end = std::strchr(start, ':');
    unsigned long length = end == nullptr ? std::strlen(start) : static_cast<unsigned long>(end - start);
    if (length == 0) return nullptr;
    named = true;
    d_String domainName;
    domainName.set(text, 0, static_cast<unsigned long>(colon - text));
    domainName.set("", static_cast<unsigned long>(colon - text), 1);
    d_String interfaceName;
    interfaceName.set(start, 0, length);
    interfaceName.set("", length, 1);
    oInterfaceManager *registry = oInterfaceManager::getInstance();
    return registry == nullptr ? nullptr : registry->searchInterface(domainName.c_str(), interfaceName.c_str());
}

oProperty *oClass::addProperty(const char *name, oMember::types type, oMember::persistent pers,
                               d_String embeddedTypeName) {
    bool named = false;
    oInterface *embedded = resolveEmbedded(embeddedTypeName, named);
    if (named) ++embeddedMembers;
    oProperty *property = new oProperty(name, type, pers, embedded, mSize, pSize);
    if (!members.insert_i(property, members.getCount())) {
        delete property;
        return nullptr;
    }

    unsigned long alignment = type == oMember::tObject && embedded != nullptr ? embedded->getMemoryAlignment()
                                                                             : oMember::getMemoryAlignment(type);
    alignMemory(alignment);
    widenAlignment(alignment);
    property->mOffset = mSize;
    mSize += property->mSize;
    if (pers == oMember::PERSISTENT) pSize += property->pSize;
    return property;
}

oMethod *oClass::addMethod(const char *name, oMethod::function_t function) {
    oMethod *method = new oMethod(name, function);
    if (!members.insert_i(method, members.getCount())) {
        delete method;
        return nullptr;
    }
    return method;
}

void oClass::addBase(oClass *base) {
    if (base == nullptr) return;
    oInterface::addBase(base);
    embeddedMembers += base->embeddedMembers;
}

void oClass::makePersistent() {
    mSize += static_cast<std::uint32_t>(cPersistentHeader);
    widenAlignment(alignof(d_Object));
}

void oClass::setVirtual() {
    mSize += static_cast<std::uint32_t>(cVirtualClass);
    widenAlignment(alignof(void *));
}
