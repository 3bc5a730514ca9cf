#include "core/oArray.h"
#include "core/oVector.h"
#include "schema_fixture.h"
#include "tkite.h"

namespace {
std::string bytesOf(const d_Binary &buffer) { return std::string(buffer.data(), buffer.getLength()); }

TEST(ContainerStream, VectorOfReferencesIsLengthPrefixedIdentifiers) {
    oVector<d_Ref_Any> refs;
    refs.push_back(d_Ref_Any(oObjectId{1, 2, 100, 7}));
    refs.push_back(d_Ref_Any());
    refs.push_back(d_Ref_Any(oObjectId{1, 0, 5, 0x01020304}));
    d_Binary out;
    out.set("X", 0, 1);  // appended after what is there
    ASSERT_TRUE(refs.toStream(out, nullptr));
    const std::string expected = std::string("X", 1) +
                                 std::string("\x08\0\0\0\x01\x02\x64\0\x07\0\0\0", 12) +
                                 std::string("\x08\0\0\0\0\0\0\0\0\0\0\0", 12) +
                                 std::string("\x08\0\0\0\x01\0\x05\0\x04\x03\x02\x01", 12);
    EXPECT_EQ(bytesOf(out), expected);

    oVector<d_Ref_Any> back;
    back.push_back(d_Ref_Any(oObjectId{1, 9, 9, 9}));  // reading appends
    d_Binary in;
    in.set(out.data() + 1, 0, out.getLength() - 1);
    ASSERT_TRUE(back.fromStream(in, nullptr));
    ASSERT_EQ(back.size(), 4u);
    EXPECT_EQ(back[1].get_oid(), refs[0].get_oid());
    EXPECT_TRUE(back[2].is_null());
    EXPECT_EQ(back[3].get_oid(), refs[2].get_oid());

    d_Binary empty(16, 0);
    EXPECT_TRUE(back.fromStream(empty, nullptr));
    EXPECT_EQ(back.size(), 4u);
}

TEST(ContainerStream, ElementsThatCannotBeStreamedFailInsteadOfMisreading) {
    // Pointer elements have no record form.
    d_String text("x");
    oVector<d_String *> pointers;
    pointers.push_back(&text);
    d_Binary out;
    EXPECT_FALSE(pointers.toStream(out, nullptr));
    oVector<d_String *> emptyPointers;
    EXPECT_TRUE(emptyPointers.toStream(out, nullptr));

    // A sequence whose element length runs past its end.
    d_Binary bad;
    bad.set("\x09\0\0\0\x01\0\0\0\0\0\0\0", 0, 12);
    oVector<d_Ref_Any> refs;
    EXPECT_FALSE(refs.fromStream(bad, nullptr));
    d_Binary stub;
    stub.set("\x08\0", 0, 2);
    EXPECT_FALSE(refs.fromStream(stub, nullptr));
}

TEST(ContainerStream, ArrayWritesOnlyAfterARead) {
    oArray<d_String *> array(4);
    d_String text("x");
    array.insert_i(&text, 0);
    d_Binary out;
    out.set("keep", 0, 4);
    EXPECT_EQ(array.getElemType(), nullptr);
    EXPECT_FALSE(array.toStream(out, nullptr));
    EXPECT_EQ(bytesOf(out), "keep");

    oArray<d_String *> readBack(4);
    d_Binary empty;
    ASSERT_TRUE(readBack.fromStream(empty, nullptr));
    ASSERT_NE(readBack.getElemType(), nullptr);
    EXPECT_EQ(readBack.getElemType()->getType(), oMember::tObject);
    EXPECT_TRUE(readBack.fromStream(empty, nullptr));  // the old description is released
    EXPECT_TRUE(readBack.toStream(out, nullptr));
    EXPECT_EQ(bytesOf(out), "keep");
}

// Records reach an embedded container through its address, as oStreamable.
TEST(ContainerStream, StreamableBaseLiesAtTheContainersAddress) {
    oVector<d_Ref_Any> vector;
    oArray<d_Object *> array(1);
    EXPECT_EQ(static_cast<void *>(static_cast<oStreamable *>(&vector)), static_cast<void *>(&vector));
    EXPECT_EQ(static_cast<void *>(static_cast<oStreamable *>(&array)), static_cast<void *>(&array));
}
}  // namespace
