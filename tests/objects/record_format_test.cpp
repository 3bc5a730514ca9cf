#include <cmath>

#include "record_classes.h"

namespace {
std::string hex(const std::string &bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (unsigned char byte : bytes) {
        if (!text.empty()) text += ' ';
        text += digits[byte >> 4];
        text += digits[byte & 15];
    }
    return text;
}

std::uint32_t u32At(const std::string &bytes, size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 3])) << 24;
}

TEST_F(RecordTest, WritesTheWorkedExampleByteForByte) {
    Account a;
    a.setInterface(account);
    a.code = 7;
    a.name = "abc";
    a.owner.setOid(1, 2, 100, 5);
    a.active = true;
    d_Binary out;
    ASSERT_TRUE(a.toStream(out, nullptr));
    EXPECT_EQ(hex(bytesOf(out)),
              "07 00 00 00 15 00 00 00 04 00 00 00 01 02 64 00 05 00 00 00 01 61 62 63 00");
    EXPECT_EQ(account->getStreamSize(), 21u);

    Account back;
    ASSERT_TRUE(back.fromStream(out, account));
    EXPECT_EQ(back.code, 7);
    EXPECT_STREQ(back.name.c_str(), "abc");
    EXPECT_EQ(back.owner.get_oid(), a.owner.get_oid());
    EXPECT_EQ(back.owner.get_pointer(), nullptr);
    EXPECT_TRUE(back.active);
}

TEST_F(RecordTest, EveryMemberTypeRoundTrips) {
    Everything e;
    e.setInterface(everything);
    e.s = -12345;
    e.us = 54321;
    e.l = -2000000000;
    e.ul = 4000000000u;
    e.f = 1.5f;
    e.d = -2.25e300;
    e.c = 'q';
    e.o = 0xFE;
    e.b = true;
    e.text = "hello";
    e.note = "transient";
    e.account.setOid(1, 3, 101, 77);
    e.bytes.set("\0\1\2\3", 0, 4);
    e.accounts.push_back(d_Ref<Account>(oObjectId{1, 3, 100, 1}));
    e.accounts.push_back(d_Ref<Account>());
    e.home.street = "Main";
    e.home.number = 42;
    e.cache = &e;
    e.tags.push_back(d_String("red"));
    e.tags.push_back(d_String(""));
    d_Binary out;
    ASSERT_TRUE(e.toStream(out, nullptr));

    Everything back;
    back.note = "keep me";
    back.cache = &back;
    std::unique_ptr<d_Binary> in = exactCopy(bytesOf(out));
    ASSERT_TRUE(back.fromStream(*in, everything));
    EXPECT_EQ(back.s, e.s);
    EXPECT_EQ(back.us, e.us);
    EXPECT_EQ(back.l, e.l);
    EXPECT_EQ(back.ul, e.ul);
    EXPECT_EQ(back.f, e.f);
    EXPECT_EQ(back.d, e.d);
    EXPECT_EQ(back.c, e.c);
    EXPECT_EQ(back.o, e.o);
    EXPECT_EQ(back.b, e.b);
    EXPECT_STREQ(back.text.c_str(), "hello");
    EXPECT_EQ(back.account.get_oid(), e.account.get_oid());
    EXPECT_EQ(bytesOf(back.bytes), std::string("\0\1\2\3", 4));
    ASSERT_EQ(back.accounts.size(), 2u);
    EXPECT_EQ(back.accounts[0].get_oid(), e.accounts[0].get_oid());
    EXPECT_TRUE(back.accounts[1].is_null());
    EXPECT_STREQ(back.home.street.c_str(), "Main");
    EXPECT_EQ(back.home.number, 42);
    ASSERT_EQ(back.tags.size(), 2u);
    EXPECT_STREQ(back.tags[0].c_str(), "red");
    EXPECT_STREQ(back.tags[1].c_str(), "");
    // Transient members are neither written nor read.
    EXPECT_STREQ(back.note.c_str(), "keep me");
    EXPECT_EQ(back.cache, &back);
    EXPECT_STREQ(e.note.c_str(), "transient");
}

TEST_F(RecordTest, EmptyValuesAndNullReferences) {
    Account a;
    a.setInterface(account);
    a.name = "";
    a.owner.setOid(0, 9, 300, 12345);  // null, with stale fields
    d_Binary out;
    ASSERT_TRUE(a.toStream(out, nullptr));
    std::string bytes = bytesOf(out);
    ASSERT_EQ(bytes.size(), 22u);  // fixed part + the NUL of the empty name
    EXPECT_EQ(u32At(bytes, 4), 21u);
    EXPECT_EQ(u32At(bytes, 8), 1u);
    EXPECT_EQ(bytes.substr(12, 8), std::string(8, '\0'));
    EXPECT_EQ(bytes[21], '\0');

    Account back;
    back.owner.setOid(1, 1, 1, 1);
    ASSERT_TRUE(back.fromStream(out, account));
    EXPECT_TRUE(back.owner.is_null());
    EXPECT_STREQ(back.name.c_str(), "");

    // An empty binary: a descriptor of length 0 and no bytes.
    Everything e;
    d_Binary record;
    ASSERT_TRUE(e.toStream(record, everything));
    oMember *bytesMember = everything->searchMember("bytes");
    EXPECT_EQ(u32At(bytesOf(record), bytesMember->getStreamOffset() + 4), 0u);
    Everything eBack;
    eBack.bytes.set("x", 0, 1);
    ASSERT_TRUE(eBack.fromStream(record, everything));
    EXPECT_EQ(eBack.bytes.getLength(), 0u);
}

TEST_F(RecordTest, FixedOnlyClassWritesExactlyItsFixedPart) {
    oClass *fixed = persistent("Fixed");
    fixed->addProperty("a", oMember::tDouble, oMember::PERSISTENT);
    fixed->addProperty("b", oMember::tChar, oMember::PERSISTENT);
    fixed->addProperty("p", oMember::tPointer, oMember::TRANSIENT);
    struct Fixed : d_Object {
        d_Double a = 3.5;
        d_Char b = 'z';
        void *p = nullptr;
    } object;
    d_Binary out;
    ASSERT_TRUE(object.toStream(out, fixed));
    EXPECT_EQ(out.getLength(), 9u);
    EXPECT_EQ(out.getLength(), fixed->getStreamSize());
}

TEST_F(RecordTest, DerivedClassFollowsItsBaseAndActivatesPerLevel) {
    Customer c;
    c.setInterface(customer);
    c.age = 40;
    c.first = "Ann";
    c.last = "Lee";
    c.rank = 3;
    d_Binary out;
    ASSERT_TRUE(c.toStream(out, nullptr));
    std::string bytes = bytesOf(out);
    // Fixed part: age, first, last, rank = 4 + 8 + 8 + 2; then the base's
    // text before the derived class's text.
    ASSERT_EQ(customer->getStreamSize(), 22u);
    EXPECT_EQ(u32At(bytes, 0), 40u);
    EXPECT_EQ(u32At(bytes, 4), 22u);
    EXPECT_EQ(u32At(bytes, 12), 26u);
    EXPECT_EQ(bytes.substr(22), std::string("Ann\0Lee\0", 8));

    Customer back;
    ASSERT_TRUE(back.fromStream(out, customer));
    EXPECT_EQ(back.age, 40);
    EXPECT_STREQ(back.first.c_str(), "Ann");
    EXPECT_STREQ(back.last.c_str(), "Lee");
    EXPECT_EQ(back.rank, 3);
    EXPECT_EQ(back.activations, 2);  // once after the base's members, once after its own

    Person p;
    ASSERT_TRUE(p.fromStream(out, person));
    EXPECT_EQ(p.activations, 1);
}

TEST_F(RecordTest, AReferenceTakesTheRecordNumberItsObjectReceived) {
    Account target;
    target.get_oid() = oObjectId{1, 2, 100, 0};
    Account a;
    a.owner = &target;
    target.get_oid().record = 9;
    target.setState(d_Object::CLEAN);
    d_Binary out;
    ASSERT_TRUE(a.toStream(out, account));
    EXPECT_EQ(u32At(bytesOf(out), 16), 9u);
    EXPECT_EQ(a.owner.get_oid().record, 9u);
}

TEST_F(RecordTest, NoClassNoRecord) {
    Account a;
    d_Binary out;
    EXPECT_FALSE(a.toStream(out, nullptr));
    EXPECT_FALSE(a.fromStream(out, nullptr));
}

// A record that does not fit its class is refused without reading outside it.
TEST_F(RecordTest, RefusesMalformedRecords) {
    Account a;
    a.code = 7;
    a.name = "abc";
    a.owner.setOid(1, 2, 100, 5);
    a.active = true;
    d_Binary out;
    ASSERT_TRUE(a.toStream(out, account));
    const std::string good = bytesOf(out);

    auto withU32 = [&](size_t at, std::uint32_t value) {
        std::string bytes = good;
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
        return bytes;
    };
    const struct {
        const char *what;
        std::string bytes;
    } cases[] = {
        {"empty record", std::string()},
        {"shorter than the fixed part", good.substr(0, 20)},
        {"descriptor offset past the end", withU32(4, 26)},
        {"descriptor length past the end", withU32(8, 5)},
        {"offset plus length wraps around", withU32(4, 0xFFFFFFF0u)},
        {"string without its NUL", good.substr(0, 24) + "d"},
        {"string of length 0", withU32(8, 0)},
        {"string cut before its NUL", good.substr(0, 24)},
    };
    for (const auto &entry : cases) {
        std::unique_ptr<d_Binary> in = exactCopy(entry.bytes);
        Account back;
        EXPECT_FALSE(back.fromStream(*in, account)) << entry.what;
    }

    // A stored boolean that is neither 0 nor 1 reads as true.
    std::string odd = good;
    odd[20] = 2;
    std::unique_ptr<d_Binary> in = exactCopy(odd);
    Account back;
    ASSERT_TRUE(back.fromStream(*in, account));
    EXPECT_TRUE(back.active);
}

TEST_F(RecordTest, RefusesMalformedElementSequences) {
    Everything e;
    e.accounts.push_back(d_Ref<Account>(oObjectId{1, 1, 100, 1}));
    d_Binary out;
    ASSERT_TRUE(e.toStream(out, everything));
    const std::string good = bytesOf(out);
    const size_t slot = everything->searchMember("accounts")->getStreamOffset();
    const size_t at = u32At(good, slot);
    ASSERT_EQ(u32At(good, slot + 4), 12u);
    ASSERT_EQ(u32At(good, at), 8u);

    std::string longElement = good;
    longElement[at] = 9;  // one byte more than the sequence holds
    std::string shortElement = good;
    shortElement[at] = 4;  // a reference needs 8 bytes
    for (const std::string &bytes : {longElement, shortElement}) {
        std::unique_ptr<d_Binary> in = exactCopy(bytes);
        Everything back;
        EXPECT_FALSE(back.fromStream(*in, everything));
    }
}
}  // namespace
