#include <typeinfo>

#include "schema/oClass.h"
#include "schema/oDynaObject.h"
#include "schema_fixture.h"
#include "tkite.h"

// At global scope, so that their encoded names are plain length-prefixed names.
struct Customer : d_Object {};
struct oQItem {};

namespace {
TEST(ParseType, MapsTypeNamesToMemberTypes) {
    const struct {
        const char *name;
        oMember::types type;
    } cases[] = {
        {"d_Short", oMember::tShort},     {"short", oMember::tShort},       {"d_UShort", oMember::tUShort},
        {"unsigned short", oMember::tUShort}, {"d_Long", oMember::tLong},   {"long", oMember::tLong},
        {"d_ULong", oMember::tULong},     {"unsigned long", oMember::tULong}, {"d_Float", oMember::tFloat},
        {"float", oMember::tFloat},       {"d_Double", oMember::tDouble},   {"double", oMember::tDouble},
        {"d_Char", oMember::tChar},       {"char", oMember::tChar},         {"unsigned char", oMember::tChar},
        {"d_Octet", oMember::tOctet},     {"d_Boolean", oMember::tBoolean}, {"bool", oMember::tBoolean},
        {"d_String", oMember::tString},   {"string", oMember::tString},     {"d_Ref", oMember::tRef},
        {"d_Ref_Any", oMember::tRef},     {"d_Ref<Customer>", oMember::tRef}, {"d_Reference", oMember::tRef},
        {"d_Binary", oMember::tBinary},   {"shorts", oMember::tObject},     {"", oMember::tObject},
        {"Customer", oMember::tObject},   {"d_Re", oMember::tObject},       {"d_Octets", oMember::tObject},
    };
    for (const auto &entry : cases) EXPECT_EQ(oMember::parseType(entry.name), entry.type) << entry.name;
}

TEST(ClearTypeName, TakesTheLengthPrefixedFirstName) {
    const struct {
        const char *encoded;
        const char *plain;
    } cases[] = {
        {"8d_String", "d_String"},
        {"9d_Ref_Any", "d_Ref_Any"},
        {"5d_RefI8CustomerE", "d_Ref"},
        {"13d_AssociationI8d_String9d_Ref_AnyE", "d_Association"},
        {"t5d_Ref1Z8Customer", "d_Ref"},
        {"t13d_Association2Z8d_StringZ9d_Ref_Any", "d_Association"},
        {"P6oQItem", ""},
        {"i", ""},
        {"", ""},
        {"t", ""},
        {"20short", "short"},  // a length past the end stops at the end
        {"1234567", "4567"},   // at most three digits of length
    };
    for (const auto &entry : cases) {
        d_String plain("leftover");
        oDynaObject::getClearTypeName(entry.encoded, plain);
        EXPECT_STREQ(plain.c_str(), entry.plain) << entry.encoded;
    }
    // And what this compiler's type information really gives.
    d_String plain;
    oDynaObject::getClearTypeName(typeid(d_String).name(), plain);
    EXPECT_STREQ(plain.c_str(), "d_String");
    oDynaObject::getClearTypeName(typeid(d_Ref<Customer>).name(), plain);
    EXPECT_STREQ(plain.c_str(), "d_Ref");
    oDynaObject::getClearTypeName(typeid(oQItem *).name(), plain);
    EXPECT_STREQ(plain.c_str(), "");
}

class DynaObjectTest : public RegistryTest {};

TEST_F(DynaObjectTest, DescribesElementTypes) {
    oClass *association = new oClass("d_Association");
    registry->registerInterface(oInterfaceManager::SYSTEM_DOMAIN, association);
    oClass *customer = new oClass("Customer");
    registry->registerInterface("shop", customer);
    oDomain *shop = registry->searchDomain("shop");

    oDynaObject ref(typeid(d_Ref<Customer>).name(), shop);
    EXPECT_EQ(ref.getType(), oMember::tRef);
    EXPECT_EQ(ref.getInterface(), nullptr);

    oDynaObject object(typeid(Customer).name(), shop);
    EXPECT_EQ(object.getType(), oMember::tObject);
    EXPECT_EQ(object.getInterface(), customer);

    // Found in the System domain when the given one lacks it; template
    // arguments of older encodings are dropped.
    oDynaObject system("t13d_Association2Z8d_StringZ9d_Ref_Any", shop);
    EXPECT_EQ(system.getInterface(), association);
    object.assign("21d_Association<d_String>", nullptr);
    EXPECT_EQ(object.getInterface(), association);

    oDynaObject pointer(typeid(oQItem *).name(), shop);
    EXPECT_EQ(pointer.getType(), oMember::tObject);
    EXPECT_EQ(pointer.getInterface(), nullptr);
}
}  // namespace
