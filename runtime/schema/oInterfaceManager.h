#ifndef TALVOR_SCHEMA_OINTERFACEMANAGER_H
#define TALVOR_SCHEMA_OINTERFACEMANAGER_H

#include <cstdint>

#include "core/oArray.h"
#include "core/oMutex.h"
#include "core/oSingleton.h"
#include "schema/oDomain.h"

class oInterface;
class oStorage;

// The schema registry: owns the domains and answers every class lookup.
// The "System" domain is always entry 0. Every operation holds the registry
// mutex for its whole length.
class oInterfaceManager {
public:
    static const char *const SYSTEM_DOMAIN;
    static const std::uint16_t START_SYS_CLASSES = 0;
    static const std::uint16_t START_USER_CLASSES = 100;

    oInterfaceManager();
    ~oInterfaceManager();
    oInterfaceManager(const oInterfaceManager &) = delete;
    oInterfaceManager &operator=(const oInterfaceManager &) = delete;

    static oInterfaceManager *getInstance() { return oSingleton<oInterfaceManager>::instance; }

    oDomain *createDomain(const char *domainName, unsigned short firstId);
    oDomain *searchDomain(const char *domainName);
    oDomain *getSystemDomain();
    // Deletes the domain named by the last component of the path, with its
    // interfaces. The System domain is never deleted.
    void deleteDomain(const char *path);
    // Registers the interface in the named domain, creating the domain (ids
    // from START_USER_CLASSES) when needed.
    bool registerInterface(const char *domainName, oInterface *iface);

    oInterface *searchInterface(const char *domainName, const char *interfaceName);
    oInterface *searchInterface(const oDomain *domain, const char *interfaceName);
    oInterface *searchInterface(const oStorage *storage, const char *interfaceName);
    oInterface *searchInterface(const oDomain *domain, unsigned short classId);
    // Reference segment of a class: 0 for the System classes, id - 99 else.
    static std::uint16_t getRefId(unsigned short classId);

private:
    oDomain *findDomain(const char *domainName) const;
    oInterface *searchWithFallback(const oDomain *domain, const char *interfaceName) const;

    oArray<oDomain *> domains;
    TALVOR_MUTEX(mutex);
};

#endif
