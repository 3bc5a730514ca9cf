#include "schema/oDynaObject.h"

#include <cstring>

#include "schema/oInterface.h"
#include "schema/oInterfaceManager.h"

oDynaObject::oDynaObject(const char *encodedName, oDomain *domain) : type(oMember::tNone), iface(nullptr) {
    assign(encodedName, domain);
}

void oDynaObject::getClearTypeName(const char *encodedName, d_String &plainName) {
    plainName = "";
    if (encodedName == nullptr) return;
    const char *cursor = encodedName;
    if (*cursor == 't') ++cursor;
    unsigned long length = 0;
    int digits = 0;
    while (digits < 3 && *cursor >= '0' && *cursor <= '9') {
        length = length * 10 + static_cast<unsigned long>(*cursor - '0');
        ++cursor;
        ++digits;
    }
    if (digits == 0) return;
    // Never copy past the end of the encoded name, whatever length it claims.
    unsigned long available = std::strlen(cursor);
    if (length > available) length = available;
    plainName.set(cursor, 0, length);
    plainName.set("", length, 1);
}

void oDynaObject::assign(const char *encodedName, oDomain *domain) {
    d_String plainName;
    getClearTypeName(encodedName, plainName);
    type = oMember::parseType(plainName.c_str());
    iface = nullptr;
    if (type != oMember::tObject || plainName.empty()) return;
    unsigned long angle = plainName.find("<");
    if (angle != d_String::NOT_FOUND) {
        plainName.truncate(angle);
        plainName.set("", angle, 1);
    }
    oInterfaceManager *registry = oInterfaceManager::getInstance();
    if (registry != nullptr) iface = registry->searchInterface(domain, plainName.c_str());
}

oDomain *oDynaObject::domainOf(const oInterface *iface) { return iface == nullptr ? nullptr : iface->getDomain(); }
