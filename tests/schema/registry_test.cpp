#include <set>
#include <thread>
#include <vector>

#include "schema/oClass.h"
#include "schema_fixture.h"

namespace {
class Registry : public RegistryTest {
protected:
    oClass *registerClass(const char *domain, const char *name) {
        oClass *cls = new oClass(name);
        EXPECT_TRUE(registry->registerInterface(domain, cls));
        return cls;
    }
};

TEST_F(Registry, GivesIdsInRegistrationOrder) {
    oClass *system0 = registerClass("System", "d_Collection");
    oClass *first = registerClass("bank", "Account");
    oClass *second = registerClass("bank", "Person");
    oClass *third = registerClass("bank", "Customer");
    EXPECT_EQ(system0->getId(), 0);
    EXPECT_EQ(first->getId(), 100);
    EXPECT_EQ(second->getId(), 101);
    EXPECT_EQ(third->getId(), 102);
    EXPECT_EQ(oInterfaceManager::getRefId(first->getId()), 1);
    EXPECT_EQ(oInterfaceManager::getRefId(third->getId()), 3);
    EXPECT_EQ(oInterfaceManager::getRefId(system0->getId()), 0);
    EXPECT_EQ(oInterfaceManager::getRefId(99), 0);
    EXPECT_EQ(first->getDomain(), registry->searchDomain("bank"));

    oDomain *bank = registry->searchDomain("bank");
    EXPECT_EQ(registry->searchInterface(bank, static_cast<unsigned short>(101)), second);
    EXPECT_EQ(registry->searchInterface(bank, static_cast<unsigned short>(103)), nullptr);
    EXPECT_EQ(registry->searchInterface(bank, static_cast<unsigned short>(0)), system0);
    EXPECT_EQ(registry->searchInterface(static_cast<const oDomain *>(nullptr), static_cast<unsigned short>(0)), system0);
    EXPECT_EQ(registry->searchInterface(static_cast<const oDomain *>(nullptr), static_cast<unsigned short>(100)),
              nullptr);
}

TEST_F(Registry, SystemIdsIgnoreTheGivenDomain) {
    oClass *system[6];
    for (int i = 0; i < 6; ++i) {
        d_String name("sys");
        name += i;
        system[i] = registerClass("System", name.c_str());
    }
    registerClass("bank", "Account");
    EXPECT_EQ(registry->searchInterface(registry->searchDomain("bank"), static_cast<unsigned short>(5)), system[5]);
    EXPECT_EQ(registry->searchInterface(registry->getSystemDomain(), static_cast<unsigned short>(5)), system[5]);
}

TEST_F(Registry, LooksUpByNameWithSystemFallback) {
    oClass *varray = registerClass("System", "d_Varray");
    oClass *account = registerClass("bank", "Account");
    oClass *shadow = registerClass("bank", "d_Varray");
    registry->createDomain("empty", oInterfaceManager::START_USER_CLASSES);

    EXPECT_EQ(registry->searchInterface("empty", "d_Varray"), varray);
    EXPECT_EQ(registry->searchInterface("nowhere", "d_Varray"), nullptr);
    EXPECT_EQ(registry->searchInterface("bank", "d_Varray"), shadow);
    EXPECT_EQ(registry->searchInterface("System", "d_Varray"), varray);
    EXPECT_EQ(registry->searchInterface("System", "Account"), nullptr);
    EXPECT_EQ(registry->searchInterface("bank", "Missing"), nullptr);
    EXPECT_EQ(registry->searchInterface(registry->searchDomain("bank"), "Account"), account);
    EXPECT_EQ(registry->searchInterface(static_cast<const oDomain *>(nullptr), "d_Varray"), varray);

    // The storage of a database is known through the domain it set itself on.
    oStorage *storage = reinterpret_cast<oStorage *>(0x1000);
    registry->searchDomain("bank")->setStorage(storage);
    EXPECT_EQ(registry->searchInterface(storage, "d_Varray"), shadow);
    EXPECT_EQ(registry->searchInterface(static_cast<const oStorage *>(nullptr), "d_Varray"), varray);
}

TEST_F(Registry, DeletesADomainByPath) {
    registerClass("accounts", "Account");
    registerClass("other", "Thing");
    registry->deleteDomain("/data/bank/accounts");
    EXPECT_EQ(registry->searchDomain("accounts"), nullptr);
    EXPECT_NE(registry->searchDomain("other"), nullptr);
    registry->deleteDomain("/data/bank/accounts");  // nothing left to delete
    registry->deleteDomain("other");
    EXPECT_EQ(registry->searchDomain("other"), nullptr);

    // A database named System must not take the System domain with it.
    oClass *kept = registerClass("System", "d_Collection");
    registry->deleteDomain("/data/System");
    EXPECT_EQ(registry->searchInterface("System", "d_Collection"), kept);

    // A new domain of the same name starts again at id 100.
    EXPECT_EQ(registerClass("accounts", "Again")->getId(), 100);
}

// A database's domain is named by the last component of its path, split after
// the last backslash or else after the last slash; closing must find it again.
TEST_F(Registry, DeletesTheDomainNamedByTheLastPathComponent) {
    const struct {
        const char *path;
        const char *domain;
    } cases[] = {
        {"/data/bank/accounts", "accounts"},
        {"C:\\data\\ledger", "ledger"},
        {"a\\b/c", "b/c"},  // a backslash wins over a later slash
        {"plain", "plain"},
    };
    for (const auto &entry : cases) {
        SCOPED_TRACE(entry.path);
        registerClass(entry.domain, "Account");
        registerClass("other", "Thing");
        registry->deleteDomain(entry.path);
        EXPECT_EQ(registry->searchDomain(entry.domain), nullptr);
        EXPECT_NE(registry->searchDomain("other"), nullptr);
        registry->deleteDomain("other");
    }
}

TEST_F(Registry, NoDomainWithoutAName) {
    oClass cls("Orphan");
    EXPECT_FALSE(registry->registerInterface(nullptr, &cls));
    EXPECT_EQ(cls.getDomain(), nullptr);
    EXPECT_EQ(registry->createDomain(nullptr, oInterfaceManager::START_USER_CLASSES), nullptr);
    EXPECT_EQ(registry->searchInterface(static_cast<const oDomain *>(nullptr), "Orphan"), nullptr);
}

TEST_F(Registry, SearchMemberLooksOneBaseLevelDeep) {
    oClass *grand = new oClass("Grand");
    grand->makePersistent();
    grand->addProperty("old", oMember::tLong, oMember::PERSISTENT);
    oClass *parent = new oClass("Parent");
    parent->addBase(grand);
    parent->addProperty("name", oMember::tString, oMember::PERSISTENT);
    oClass *child = new oClass("Child");
    child->addBase(parent);
    oProperty *own = child->addProperty("name", oMember::tString, oMember::PERSISTENT);
    registry->registerInterface("family", grand);
    registry->registerInterface("family", parent);
    registry->registerInterface("family", child);

    EXPECT_EQ(child->searchMember("name"), own);
    EXPECT_EQ(parent->searchMember("old"), grand->getMembers()[0]);
    EXPECT_EQ(child->searchMember("old"), nullptr);
    EXPECT_EQ(child->searchMember("missing"), nullptr);
}

TEST_F(Registry, CountsEmbeddedMembersThroughBases) {
    oClass *varray = new oClass("d_Varray");
    varray->makePersistent();
    registry->registerInterface("System", varray);
    oClass *holder = new oClass("Holder");
    holder->makePersistent();
    oProperty *resolved = holder->addProperty("list", oMember::tObject, oMember::PERSISTENT, "System::d_Varray");
    oProperty *unresolved = holder->addProperty("gone", oMember::tObject, oMember::PERSISTENT, "System::Nothing");
    holder->addProperty("plain", oMember::tString, oMember::PERSISTENT, "");
    holder->addProperty("bare", oMember::tObject, oMember::PERSISTENT, "NoColons");
    EXPECT_EQ(resolved->getEmbeddedInterface(), varray);
    EXPECT_EQ(resolved->getMemorySize(), varray->getEmbeddedSize());
    EXPECT_EQ(unresolved->getEmbeddedInterface(), nullptr);
    EXPECT_EQ(unresolved->getMemorySize(), 0u);
    EXPECT_EQ(holder->get_embedded_members(), 2u);

    oClass *derived = new oClass("Derived");
    derived->addBase(holder);
    derived->addProperty("more", oMember::tObject, oMember::PERSISTENT, "System:::d_Varray::x");
    EXPECT_EQ(derived->get_embedded_members(), 3u);
    EXPECT_EQ(derived->getMembers()[0]->getEmbeddedInterface(), varray);
    registry->registerInterface("app", holder);
    registry->registerInterface("app", derived);
}

// Threads that open databases register classes while others look them up:
// the domain is created once and every class gets its own id.
TEST_F(Registry, ConcurrentRegistrationCreatesOneDomain) {
    const int threads = 4;
    const int perThread = 40;
    std::vector<std::vector<oClass *> > made(threads);
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([this, t, &made] {
            for (int i = 0; i < perThread; ++i) {
                d_String name("C");
                name += t * perThread + i;
                oClass *cls = new oClass(name.c_str());
                registry->registerInterface("shared", cls);
                made[t].push_back(cls);
                registry->searchInterface("shared", name.c_str());
            }
        });
    }
    for (std::thread &worker : workers) worker.join();
    oDomain *shared = registry->searchDomain("shared");
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(shared->getCount(), static_cast<unsigned long>(threads * perThread));
    std::set<unsigned> ids;
    for (const auto &list : made) {
        for (oClass *cls : list) {
            ids.insert(cls->getId());
            EXPECT_EQ(cls->getDomain(), shared);
        }
    }
    EXPECT_EQ(ids.size(), static_cast<size_t>(threads * perThread));
    EXPECT_EQ(*ids.begin(), 100u);
    registry->deleteDomain("shared");
    EXPECT_EQ(registry->searchDomain("shared"), nullptr);
}

TEST_F(Registry, MethodsTakeNoRoom) {
    oClass cls("WithMethod");
    cls.makePersistent();
    unsigned long before = cls.getMemorySize();
    oMethod *method = cls.addMethod("run", nullptr);
    EXPECT_EQ(method->getKind(), 1);
    EXPECT_FALSE(method->isPersistent());
    EXPECT_EQ(cls.getMemorySize(), before);
    EXPECT_EQ(cls.getStreamSize(), 0u);
    EXPECT_EQ(cls.get_kind(), 1);
}
}  // namespace
