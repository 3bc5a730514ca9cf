#include <cstddef>
#include <functional>
#include <vector>

#include "core/oArray.h"
#include "core/oVector.h"
#include "schema/oClass.h"
#include "schema_fixture.h"
#include "tkite.h"

// C++ classes shaped as schemac writes them: members in declaration order
// after the d_Object base or after another generated class.
namespace {
struct EveryType : d_Object {
    d_Char c1;
    d_UShort us;  // after one char: the 4k+1 case
    d_Char c2;
    d_Short s;
    d_Octet o;
    d_Long l;
    d_Boolean b;
    d_Double d;
    d_Char c3;
    d_Float f;
    d_Char c4;
    d_String str;
    d_Boolean b2;
    d_Ref<EveryType> ref;
    d_Char c5;
    d_Binary bin;
    d_Char c6;
    oVector<d_Ref_Any> vec;
    d_Char c7;
    oArray<d_Object *> arr;
    d_Char c8;
    void *ptr;
    d_ULong ul;
};

struct Point : d_Object {
    d_Long x;
    d_Char y;
};

struct HoldsEmbedded : d_Object {
    d_Char a;
    Point p;  // an embedded object takes its padded size
    d_Char z;
    oVector<d_Ref<Point> > refs;
    d_UShort after;
};

struct Base : d_Object {
    d_Char c;
};

struct Derived : Base {
    d_Char d;  // lands in the base's tail padding
    d_Long e;
    d_Double f;
};

struct CollectionShape : d_Object {
    d_UShort blockSize;
    d_Ref_Any head;
    d_Ref_Any tail;
    d_UShort blocks;
    d_ULong total;
    void *dynaObject;
    void *database;
};

struct Probe {
    const char *name;
    unsigned long realOffset;
};

struct LayoutCase {
    const char *className;
    std::function<oClass *(oInterfaceManager *)> build;
    std::vector<unsigned long> realOffsets;
};

oClass *persistentClass(const char *name) {
    oClass *cls = new oClass(name);
    cls->makePersistent();
    return cls;
}

void expectLayoutMatches(oClass *cls, const std::vector<unsigned long> &realOffsets) {
    const oArray<oMember *> &members = cls->getMembers();
    ASSERT_EQ(members.getCount(), realOffsets.size());
    for (unsigned long i = 0; i < realOffsets.size(); ++i) {
        EXPECT_EQ(members[i]->getMemoryOffset(), realOffsets[i]) << "member " << members[i]->getName().c_str();
    }
}

class LayoutTest : public RegistryTest {};

TEST_F(LayoutTest, ComputedOffsetsEqualTheCompilersOffsets) {
    using T = oMember;
    const T::persistent P = T::PERSISTENT;
    const std::vector<LayoutCase> cases = {
        {"EveryType",
         [=](oInterfaceManager *) {
             oClass *cls = persistentClass("EveryType");
             const T::types types[] = {T::tChar,   T::tUShort, T::tChar,   T::tShort,  T::tOctet,  T::tLong,
                                       T::tBoolean, T::tDouble, T::tChar,  T::tFloat,  T::tChar,   T::tString,
                                       T::tBoolean, T::tRef,    T::tChar,  T::tBinary, T::tChar,   T::tVector,
                                       T::tChar,    T::tArray,  T::tChar,  T::tPointer, T::tULong};
             int i = 0;
             for (T::types type : types) {
                 d_String name("m");
                 name += i++;
                 cls->addProperty(name.c_str(), type, type == T::tPointer ? T::TRANSIENT : P);
             }
             return cls;
         },
         {MEMBER_OFFSET(EveryType, c1), MEMBER_OFFSET(EveryType, us), MEMBER_OFFSET(EveryType, c2),
          MEMBER_OFFSET(EveryType, s), MEMBER_OFFSET(EveryType, o), MEMBER_OFFSET(EveryType, l),
          MEMBER_OFFSET(EveryType, b), MEMBER_OFFSET(EveryType, d), MEMBER_OFFSET(EveryType, c3),
          MEMBER_OFFSET(EveryType, f), MEMBER_OFFSET(EveryType, c4), MEMBER_OFFSET(EveryType, str),
          MEMBER_OFFSET(EveryType, b2), MEMBER_OFFSET(EveryType, ref), MEMBER_OFFSET(EveryType, c5),
          MEMBER_OFFSET(EveryType, bin), MEMBER_OFFSET(EveryType, c6), MEMBER_OFFSET(EveryType, vec),
          MEMBER_OFFSET(EveryType, c7), MEMBER_OFFSET(EveryType, arr), MEMBER_OFFSET(EveryType, c8),
          MEMBER_OFFSET(EveryType, ptr), MEMBER_OFFSET(EveryType, ul)}},
        {"HoldsEmbedded",
         [=](oInterfaceManager *registry) {
             oClass *point = persistentClass("Point");
             point->addProperty("x", T::tLong, P);
             point->addProperty("y", T::tChar, P);
             registry->registerInterface("Layout", point);
             oClass *cls = persistentClass("HoldsEmbedded");
             cls->addProperty("a", T::tChar, P);
             cls->addProperty("p", T::tObject, P, "Layout::Point");
             cls->addProperty("z", T::tChar, P);
             cls->addProperty("refs", T::tVector, P);
             cls->addProperty("after", T::tUShort, P);
             return cls;
         },
         {MEMBER_OFFSET(HoldsEmbedded, a), MEMBER_OFFSET(HoldsEmbedded, p), MEMBER_OFFSET(HoldsEmbedded, z),
          MEMBER_OFFSET(HoldsEmbedded, refs), MEMBER_OFFSET(HoldsEmbedded, after)}},
        {"Derived",
         [=](oInterfaceManager *registry) {
             oClass *base = persistentClass("Base");
             base->addProperty("c", T::tChar, P);
             registry->registerInterface("Layout", base);
             oClass *derived = new oClass("Derived");
             derived->addBase(base);
             derived->addProperty("d", T::tChar, P);
             derived->addProperty("e", T::tLong, P);
             derived->addProperty("f", T::tDouble, P);
             // The base's own member keeps the offset it was given.
             EXPECT_EQ(base->getMembers()[0]->getMemoryOffset(), MEMBER_OFFSET(Base, c));
             return derived;
         },
         {MEMBER_OFFSET(Derived, d), MEMBER_OFFSET(Derived, e), MEMBER_OFFSET(Derived, f)}},
        {"CollectionShape",
         [=](oInterfaceManager *) {
             oClass *cls = persistentClass("CollectionShape");
             cls->addProperty("blockSize", T::tUShort, P);
             cls->addProperty("head", T::tRef, P);
             cls->addProperty("tail", T::tRef, P);
             cls->addProperty("blocks", T::tUShort, P);
             cls->addProperty("total", T::tULong, P);
             cls->addProperty("dynaObject", T::tPointer, T::TRANSIENT);
             cls->addProperty("database", T::tPointer, T::TRANSIENT);
             return cls;
         },
         {MEMBER_OFFSET(CollectionShape, blockSize), MEMBER_OFFSET(CollectionShape, head),
          MEMBER_OFFSET(CollectionShape, tail), MEMBER_OFFSET(CollectionShape, blocks),
          MEMBER_OFFSET(CollectionShape, total), MEMBER_OFFSET(CollectionShape, dynaObject),
          MEMBER_OFFSET(CollectionShape, database)}},
    };
    for (const LayoutCase &layout : cases) {
        SCOPED_TRACE(layout.className);
        oClass *cls = layout.build(registry);
        expectLayoutMatches(cls, layout.realOffsets);
        registry->registerInterface("Layout", cls);
    }
}

// The memory size is where the data ends: a class derived from it starts its
// own members there, and an embedded copy takes it rounded to the alignment.
TEST_F(LayoutTest, MemorySizeIsWhereADerivedClassContinues) {
    oClass base("Base");
    base.makePersistent();
    base.addProperty("c", oMember::tChar, oMember::PERSISTENT);
    EXPECT_EQ(base.getMemorySize(), MEMBER_OFFSET(Derived, d));
    EXPECT_EQ(oClass::cPersistentHeader, MEMBER_OFFSET(Base, c));
    EXPECT_EQ(base.getEmbeddedSize(), sizeof(Base));

    oClass point("Point");
    point.makePersistent();
    point.addProperty("x", oMember::tLong, oMember::PERSISTENT);
    point.addProperty("y", oMember::tChar, oMember::PERSISTENT);
    EXPECT_EQ(point.getEmbeddedSize(), sizeof(Point));
}

TEST_F(LayoutTest, RecordLayoutIsPackedAndTheSameOnEveryTarget) {
    oClass cls("Rec");
    cls.makePersistent();
    const struct {
        oMember::types type;
        oMember::persistent pers;
        unsigned long pOffset;
        unsigned long pSize;
    } members[] = {
        {oMember::tChar, oMember::PERSISTENT, 0, 1},    {oMember::tDouble, oMember::PERSISTENT, 1, 8},
        {oMember::tString, oMember::TRANSIENT, 0, 0},   {oMember::tString, oMember::PERSISTENT, 9, 8},
        {oMember::tRef, oMember::PERSISTENT, 17, 8},    {oMember::tBoolean, oMember::PERSISTENT, 25, 1},
        {oMember::tVector, oMember::PERSISTENT, 26, 8}, {oMember::tPointer, oMember::TRANSIENT, 0, 0},
        {oMember::tBinary, oMember::PERSISTENT, 34, 8}, {oMember::tUShort, oMember::PERSISTENT, 42, 2},
    };
    for (const auto &member : members) {
        oProperty *property = cls.addProperty("m", member.type, member.pers);
        EXPECT_EQ(property->getStreamOffset(), member.pOffset);
        EXPECT_EQ(property->getStreamSize(), member.pSize);
    }
    EXPECT_EQ(cls.getStreamSize(), 44u);
}

// The figures of the i386 build, exactly.
TEST_F(LayoutTest, I386Figures) {
    if (sizeof(void *) != 4) GTEST_SKIP() << "i386 build only";
    EXPECT_EQ(oClass::cPersistentHeader, 32u);
    EXPECT_EQ(oClass::cVirtualClass, 4u);
    const unsigned long sizes[oMember::TYPE_COUNT] = {0, 2, 2, 4, 4, 4, 8, 1, 1, 1, 16, 12, 28, 16, 16, 0, 0, 4};
    for (unsigned type = 0; type < oMember::TYPE_COUNT; ++type) {
        EXPECT_EQ(oMember::getMemorySize(static_cast<oMember::types>(type)), sizes[type]) << "type " << type;
    }

    oClass collection("d_Collection");
    collection.makePersistent();
    collection.addProperty("blockSize", oMember::tUShort, oMember::PERSISTENT);
    collection.addProperty("head", oMember::tRef, oMember::PERSISTENT);
    collection.addProperty("tail", oMember::tRef, oMember::PERSISTENT);
    collection.addProperty("blocks", oMember::tUShort, oMember::PERSISTENT);
    collection.addProperty("total", oMember::tULong, oMember::PERSISTENT);
    collection.addProperty("dynaObject", oMember::tPointer, oMember::TRANSIENT);
    collection.addProperty("database", oMember::tPointer, oMember::TRANSIENT);
    const unsigned long memoryOffsets[] = {32, 36, 48, 60, 64, 68, 72};
    const unsigned long recordOffsets[] = {0, 2, 10, 18, 20};
    for (unsigned long i = 0; i < 7; ++i) {
        EXPECT_EQ(collection.getMembers()[i]->getMemoryOffset(), memoryOffsets[i]);
        if (i < 5) {
            EXPECT_EQ(collection.getMembers()[i]->getStreamOffset(), recordOffsets[i]);
        }
    }
    EXPECT_EQ(collection.getMemorySize(), 76u);
    EXPECT_EQ(collection.getStreamSize(), 24u);

    // A persistent string: 16 bytes in memory, an 8-byte slot; a transient
    // one leaves the record alone.
    oClass strings("Strings");
    strings.makePersistent();
    oProperty *kept = strings.addProperty("kept", oMember::tString, oMember::PERSISTENT);
    oProperty *loose = strings.addProperty("loose", oMember::tString, oMember::TRANSIENT);
    EXPECT_EQ(kept->getMemorySize(), 16u);
    EXPECT_EQ(kept->getStreamSize(), 8u);
    EXPECT_EQ(loose->getMemorySize(), 16u);
    EXPECT_EQ(strings.getMemorySize(), 64u);
    EXPECT_EQ(strings.getStreamSize(), 8u);

    // A char then a ushort: 32 and 34, where the compiler puts them (a
    // ushort is never read from an odd offset), record offsets 0 and 1.
    oClass small("Small");
    small.makePersistent();
    small.addProperty("c", oMember::tChar, oMember::PERSISTENT);
    small.addProperty("u", oMember::tUShort, oMember::PERSISTENT);
    EXPECT_EQ(small.getMembers()[0]->getMemoryOffset(), 32u);
    EXPECT_EQ(small.getMembers()[1]->getMemoryOffset(), 34u);
    EXPECT_EQ(small.getMemorySize(), 36u);
    EXPECT_EQ(small.getStreamSize(), 3u);

    // The record example class: code, name, owner, active.
    oClass example("Example");
    example.makePersistent();
    example.addProperty("code", oMember::tLong, oMember::PERSISTENT);
    example.addProperty("name", oMember::tString, oMember::PERSISTENT);
    example.addProperty("owner", oMember::tRef, oMember::PERSISTENT);
    example.addProperty("active", oMember::tBoolean, oMember::PERSISTENT);
    const unsigned long exampleOffsets[] = {32, 36, 52, 64};
    for (unsigned long i = 0; i < 4; ++i) EXPECT_EQ(example.getMembers()[i]->getMemoryOffset(), exampleOffsets[i]);
    EXPECT_EQ(example.getStreamSize(), 21u);

    oClass virtualOne("Virtual");
    virtualOne.setVirtual();
    EXPECT_EQ(virtualOne.getMemorySize(), 4u);
}
}  // namespace
