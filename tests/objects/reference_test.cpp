#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tkite.h"

namespace {
struct Item : d_Object {};

TEST(ObjectId, OrdersBytewiseAndPrintsItsFields) {
    std::vector<oObjectId> ids = {{1, 0, 0x0200, 0}, {1, 0, 0x0001, 0}, {0, 9, 0, 0}, {1, 0, 0x0001, 0x00000100}};
    std::sort(ids.begin(), ids.end());
    // Bytes, not numbers: class 0x0200 is stored 00 02 and sorts before 01 00.
    EXPECT_EQ(ids[0].valid, 0);
    EXPECT_EQ(ids[1].classId, 0x0200);
    EXPECT_EQ(ids[2].record, 0u);
    EXPECT_EQ(ids[3].record, 0x100u);
    EXPECT_STREQ(oObjectId({1, 0, 5, 42}).toString().c_str(), "1:0:5:42");
}

TEST(Reference, HoldsIdentifierAndPointer) {
    d_Ref_Any ref;
    ref.setOid(1, 0, 5, 42);
    char *text = ref.dump();
    EXPECT_STREQ(text, "1:0:5:42");
    delete[] text;
    EXPECT_FALSE(ref.is_null());
    ref.clear();
    EXPECT_TRUE(ref.is_null());

    Item item;
    item.get_oid() = oObjectId{1, 2, 100, 3};
    d_Ref<Item> typed(&item);
    EXPECT_EQ(typed.ptr(), &item);
    EXPECT_EQ(typed.get_oid(), item.get_oid());
    d_Ref<Item> copy = typed;
    EXPECT_EQ(copy.operator->(), &item);

    // Not a new object: nothing to reserve.
    item.setState(d_Object::CLEAN);
    EXPECT_FALSE(typed.check_for_oid());

    d_Ref<Item> null;
    try {
        null.operator->();
        FAIL() << "a null reference was followed";
    } catch (d_Error *error) {
        EXPECT_EQ(error->get_kind(), d_Error_RefNull);
        delete error;
    }
    static_assert(sizeof(d_Ref<Item>) == sizeof(d_Ref_Any), "a typed reference adds no data");
}
// Assigning no object empties the reference: neither a later use nor a
// record written afterwards may still name the object it held before.
TEST(Reference, AssigningNoObjectMakesItNull) {
    Item item;
    item.get_oid() = oObjectId{1, 2, 100, 3};
    d_Ref<Item> typed(&item);
    typed = static_cast<Item *>(nullptr);
    d_Ref_Any any(&item);
    any = static_cast<d_Object *>(nullptr);
    const d_Ref_Any *refs[] = {&typed, &any};
    for (const d_Ref_Any *ref : refs) {
        EXPECT_TRUE(ref->is_null());
        EXPECT_EQ(ref->get_pointer(), nullptr);
    }
    EXPECT_EQ(typed.ptr(), nullptr);

    any = &item;  // and a real object still takes its place
    EXPECT_EQ(any.get_pointer(), &item);
    EXPECT_EQ(any.get_oid(), item.get_oid());
}
}  // namespace
