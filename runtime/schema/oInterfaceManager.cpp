#include "schema/oInterfaceManager.h"

#include <cstring>

#include "schema/oInterface.h"
#include "storage/oFile.h"

const char *const oInterfaceManager::SYSTEM_DOMAIN = "System";
const std::uint16_t oInterfaceManager::START_SYS_CLASSES;
const std::uint16_t oInterfaceManager::START_USER_CLASSES;

oInterfaceManager::oInterfaceManager() : domains(64, -1) {
    oDomain *system = new oDomain(SYSTEM_DOMAIN, START_SYS_CLASSES);
    domains.insert_i(system, 0);
}

oInterfaceManager::~oInterfaceManager() { domains.deleteAll(); }

oDomain *oInterfaceManager::findDomain(const char *domainName) const {
    return domainName == nullptr ? nullptr : domains.searchByName(domainName);
}

oInterface *oInterfaceManager::searchWithFallback(const oDomain *domain, const char *interfaceName) const {
    oInterface *found = domain == nullptr ? nullptr : domain->searchInterface(interfaceName);
    return found != nullptr ? found : domains[0]->searchInterface(interfaceName);
}

oDomain *oInterfaceManager::createDomain(const char *domainName, unsigned short firstId) {
    if (domainName == nullptr) return nullptr;
    TALVOR_LOCK(mutex);
    oDomain *domain = new oDomain(domainName, firstId);
    if (!domains.insert_i(domain, domains.getCount())) {
        delete domain;
        return nullptr;
    }
    return domain;
}

oDomain *oInterfaceManager::searchDomain(const char *domainName) {
    TALVOR_LOCK(mutex);
    return findDomain(domainName);
}

oDomain *oInterfaceManager::getSystemDomain() {
    TALVOR_LOCK(mutex);
    return domains[0];
}

void oInterfaceManager::deleteDomain(const char *path) {
    if (path == nullptr) return;
    // The database's domain was named by the same split of its path.
    d_String directory;
    d_String domainName;
    oFile::extractPath(path, directory, domainName);
    TALVOR_LOCK(mutex);
    // Slot 0 is the System domain, which every lookup falls back on.
    for (unsigned long i = 1; i < domains.getCount(); ++i) {
        if (domains[i]->getName() == domainName) {
            delete domains[i];
            domains.remove(i);
            return;
        }
    }
}

bool oInterfaceManager::registerInterface(const char *domainName, oInterface *iface) {
    if (iface == nullptr) return false;
    // One lock over lookup, creation and insertion, so two threads cannot
    // create the same domain twice.
    TALVOR_LOCK(mutex);
    oDomain *domain = findDomain(domainName);
    if (domain == nullptr) domain = createDomain(domainName, START_USER_CLASSES);
    if (domain == nullptr) return false;
    iface->setDomain(domain);
    return domain->addInterface(iface);
}

oInterface *oInterfaceManager::searchInterface(const char *domainName, const char *interfaceName) {
    TALVOR_LOCK(mutex);
    if (domainName == nullptr || interfaceName == nullptr) return nullptr;
    if (std::strcmp(domainName, SYSTEM_DOMAIN) == 0) return domains[0]->searchInterface(interfaceName);
    oDomain *domain = findDomain(domainName);
    return domain == nullptr ? nullptr : searchWithFallback(domain, interfaceName);
}

oInterface *oInterfaceManager::searchInterface(const oDomain *domain, const char *interfaceName) {
    TALVOR_LOCK(mutex);
    if (interfaceName == nullptr) return nullptr;
    return searchWithFallback(domain, interfaceName);
}

oInterface *oInterfaceManager::searchInterface(const oStorage *storage, const char *interfaceName) {
    TALVOR_LOCK(mutex);
    if (interfaceName == nullptr) return nullptr;
    // The storage sets itself on the domain of its database when it opens it.
    const oDomain *domain = nullptr;
    for (unsigned long i = 1; storage != nullptr && i < domains.getCount() && domain == nullptr; ++i) {
        if (domains[i]->getStorage() == storage) domain = domains[i];
    }
    return searchWithFallback(domain, interfaceName);
}

oInterface *oInterfaceManager::searchInterface(const oDomain *domain, unsigned short classId) {
    TALVOR_LOCK(mutex);
    if (classId < START_USER_CLASSES) return domains[0]->getInterface(classId);
    return domain == nullptr ? nullptr : domain->getInterface(static_cast<unsigned short>(classId - START_USER_CLASSES));
}

std::uint16_t oInterfaceManager::getRefId(unsigned short classId) {
    return classId < START_USER_CLASSES ? 0 : static_cast<std::uint16_t>(classId - START_USER_CLASSES + 1);
}
