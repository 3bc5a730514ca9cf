#ifndef TALVOR_TESTS_RECORD_CLASSES_H
#define TALVOR_TESTS_RECORD_CLASSES_H

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "core/oSingleton.h"
#include "core/oVector.h"
#include "schema/oClass.h"
#include "schema/oInterfaceManager.h"
#include "tkite.h"

// Persistent classes shaped as schemac writes them, with their descriptions
// registered in the domain "records".

struct Account : d_Object {
    d_Long code = 0;
    d_String name;
    d_Ref_Any owner;
    d_Boolean active = false;
};

struct Address : d_Object {
    d_String street;
    d_UShort number = 0;
};

struct Everything : d_Object {
    d_Short s = 0;
    d_UShort us = 0;
    d_Long l = 0;
    d_ULong ul = 0;
    d_Float f = 0;
    d_Double d = 0;
    d_Char c = 0;
    d_Octet o = 0;
    d_Boolean b = false;
    d_String text;
    d_String note;  // transient
    d_Ref<Account> account;
    d_Binary bytes;
    oVector<d_Ref<Account> > accounts;
    Address home;
    void *cache = nullptr;  // transient
    oVector<d_String> tags;
};

struct Person : d_Object {
    d_Long age = 0;
    d_String first;
    d_Long activations = 0;  // transient
    void d_activate() override { ++activations; }
};

struct Customer : Person {
    d_String last;
    d_Short rank = 0;
};

// Registers the descriptions of the classes above for each test.
class RecordTest : public ::testing::Test {
protected:
    void SetUp() override {
        registry = oSingleton<oInterfaceManager>::start();
        using M = oMember;
        account = persistent("Account");
        account->addProperty("code", M::tLong, M::PERSISTENT);
        account->addProperty("name", M::tString, M::PERSISTENT);
        account->addProperty("owner", M::tRef, M::PERSISTENT);
        account->addProperty("active", M::tBoolean, M::PERSISTENT);

        address = persistent("Address");
        address->addProperty("street", M::tString, M::PERSISTENT);
        address->addProperty("number", M::tUShort, M::PERSISTENT);

        everything = persistent("Everything");
        const M::types fixed[] = {M::tShort, M::tUShort, M::tLong, M::tULong, M::tFloat,
                                  M::tDouble, M::tChar,  M::tOctet, M::tBoolean, M::tString};
        for (M::types type : fixed) everything->addProperty(name(type).c_str(), type, M::PERSISTENT);
        everything->addProperty("note", M::tString, M::TRANSIENT);
        everything->addProperty("account", M::tRef, M::PERSISTENT);
        everything->addProperty("bytes", M::tBinary, M::PERSISTENT);
        everything->addProperty("accounts", M::tVector, M::PERSISTENT);
        everything->addProperty("home", M::tObject, M::PERSISTENT, "records::Address");
        everything->addProperty("cache", M::tPointer, M::TRANSIENT);
        everything->addProperty("tags", M::tVector, M::PERSISTENT);

        person = persistent("Person");
        person->addProperty("age", M::tLong, M::PERSISTENT);
        person->addProperty("first", M::tString, M::PERSISTENT);
        person->addProperty("activations", M::tLong, M::TRANSIENT);
        customer = new oClass("Customer");
        customer->addBase(person);
        customer->addProperty("last", M::tString, M::PERSISTENT);
        customer->addProperty("rank", M::tShort, M::PERSISTENT);
        registry->registerInterface("records", customer);
    }
    void TearDown() override { oSingleton<oInterfaceManager>::shutdown(); }

    oClass *persistent(const char *className) {
        oClass *cls = new oClass(className);
        cls->makePersistent();
        registry->registerInterface("records", cls);
        return cls;
    }
    static d_String name(oMember::types type) {
        d_String text("m");
        text += static_cast<int>(type);
        return text;
    }
    static std::string bytesOf(const d_Binary &buffer) { return std::string(buffer.data(), buffer.getLength()); }
    // A buffer exactly as long as its content, so that the sanitizer sees any
    // read past the record.
    static std::unique_ptr<d_Binary> exactCopy(const std::string &bytes) {
        std::unique_ptr<d_Binary> out(new d_Binary(bytes.size(), 0));
        out->set(bytes.data(), 0, bytes.size());
        return out;
    }

    oInterfaceManager *registry = nullptr;
    oClass *account = nullptr;
    oClass *address = nullptr;
    oClass *everything = nullptr;
    oClass *person = nullptr;
    oClass *customer = nullptr;
};

#endif
