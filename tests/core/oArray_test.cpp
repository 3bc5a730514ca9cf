#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/d_Binary.h"
#include "core/oArray.h"
#include "core/oSingleton.h"
#include "core/oVector.h"
#include "objects/d_Ref_Any.h"

namespace {

// A named element that counts its destructions.
struct Item {
    Item(const char *name, unsigned char id = 0) : name(name), id(id) {}
    ~Item() { ++destroyed; }
    const d_String &getName() const { return name; }
    unsigned char getId() const { return id; }
    d_String name;
    unsigned char id;
    static int destroyed;
};
int Item::destroyed = 0;

// Owns the items of a test so that none leaks whatever the array does.
struct Items {
    std::vector<std::unique_ptr<Item>> owned;
    Item *make(const char *name, unsigned char id = 0) {
        owned.emplace_back(new Item(name, id));
        return owned.back().get();
    }
};

TEST(Array, DefaultStepIsHalfTheInitialSize) {
    oArray<Item *> a(64), b(10), c(1), d(8, 3);
    EXPECT_EQ(a.getStep(), 32u);
    EXPECT_EQ(b.getStep(), 5u);
    EXPECT_EQ(c.getStep(), 0u);
    EXPECT_EQ(d.getStep(), 3u);
}

TEST(Array, GrowsByItsStepWhenFull) {
    Items items;
    oArray<Item *> a(64);
    for (int i = 0; i < 65; ++i) ASSERT_TRUE(a.insert_i(items.make("x"), 1000));
    EXPECT_EQ(a.getCount(), 65u);
    EXPECT_EQ(a.getCapacity(), 96u);
}

TEST(Array, SizeOneCannotGrow) {
    Items items;
    oArray<Item *> a(1);
    Item *first = items.make("first");
    ASSERT_TRUE(a.insert_i(first, 0));
    EXPECT_FALSE(a.insert_i(items.make("second"), 0));
    EXPECT_EQ(a.getCount(), 1u);
    EXPECT_EQ(a.getCapacity(), 1u);
    EXPECT_EQ(a[0], first);
}

TEST(Array, InsertRemoveReplaceKeepOrder) {
    Item::destroyed = 0;
    Items items;
    oArray<Item *> a(4, 2);
    Item *e[5];
    for (int i = 0; i < 5; ++i) e[i] = items.make("e");
    a.insert_i(e[1], 0);
    a.insert_i(e[3], 99);  // beyond count: appended
    a.insert_i(e[0], 0);
    a.insert_i(e[2], 2);
    a.insert_i(e[4], 4);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(a[i], e[i]);

    EXPECT_TRUE(a.remove(1ul));
    EXPECT_EQ(a.getCount(), 4u);
    EXPECT_EQ(a[1], e[2]);
    EXPECT_EQ(a[2], e[3]);
    EXPECT_EQ(a[3], e[4]);
    EXPECT_FALSE(a.remove(4ul));

    EXPECT_TRUE(a.remove(e[3]));
    EXPECT_FALSE(a.remove(e[3]));
    EXPECT_EQ(a.last(), e[4]);

    EXPECT_TRUE(a.replace(e[1], 0));
    EXPECT_EQ(a[0], e[1]);
    EXPECT_FALSE(a.replace(e[1], 3));
    EXPECT_EQ(Item::destroyed, 0);
}

TEST(Array, LookupByNameAndId) {
    Items items;
    oArray<Item *> a(8);
    EXPECT_EQ(a.searchByName("a"), nullptr);
    EXPECT_EQ(a.searchById(1), nullptr);
    EXPECT_EQ(a.last(), nullptr);
    oIterator<Item *> none = a.iterByName("a");
    EXPECT_EQ(none.array, nullptr);
    EXPECT_EQ(none.index, 0u);

    Item *alpha = items.make("alpha", 1);
    Item *beta = items.make("beta", 2);
    Item *alpha2 = items.make("alpha", 3);
    a.insert_i(alpha, 9);
    a.insert_i(beta, 9);
    a.insert_i(alpha2, 9);
    EXPECT_EQ(a.searchByName("alpha"), alpha);
    EXPECT_EQ(a.searchByName("alph"), nullptr);
    EXPECT_EQ(a.searchById(3), alpha2);
    EXPECT_EQ(a.searchById(4), nullptr);
    oIterator<Item *> it = a.iterByName("beta");
    EXPECT_EQ(it.array, &a);
    EXPECT_EQ(it.index, 1u);
    EXPECT_EQ(a.iterByName("gamma").array, nullptr);
}

TEST(Array, AssignTakesTheSourceCapacity) {
    Items items;
    oArray<Item *> source(20, 4), target(2, 1);
    for (int i = 0; i < 3; ++i) source.insert_i(items.make("s"), 9);
    ASSERT_TRUE(target.assign(source));
    EXPECT_EQ(target.getCapacity(), 20u);
    EXPECT_EQ(target.getCount(), 3u);
    EXPECT_EQ(target.getStep(), 1u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(target[i], source[i]);
}

TEST(Array, AssignFromItselfChangesNothing) {
    Items items;
    oArray<Item *> a(4);
    Item *e[3] = {items.make("a"), items.make("b"), items.make("c")};
    for (Item *item : e) a.insert_i(item, 9);
    EXPECT_TRUE(a.assign(a));
    ASSERT_EQ(a.getCount(), 3u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(a[i], e[i]);
    EXPECT_EQ(a.getCapacity(), 4u);
}

TEST(Array, SlotCountBeyondTheAddressSpaceIsOutOfMemory) {
    // The byte size of this many slots wraps around to a single slot's width.
    const unsigned long slots = static_cast<unsigned long>(-1) / sizeof(Item *) + 2;
    try {
        oArray<Item *> a(slots);
        FAIL() << "an array of " << slots << " slots was built";
    } catch (d_Error *caught) {
        std::unique_ptr<d_Error> owned(caught);
        EXPECT_EQ(owned->get_kind(), d_Error_OutOfMemory);
        const unsigned long long bytes = static_cast<unsigned long long>(slots) * sizeof(Item *);
        EXPECT_EQ(std::string(owned->what()), "Cannot allocate memory (size=" + std::to_string(bytes) + ").");
    }
}

TEST(Array, DeleteAllDeletesTheElements) {
    Item::destroyed = 0;
    oArray<Item *> a(4);
    a.insert_i(new Item("a"), 0);
    a.insert_i(nullptr, 1);
    a.insert_i(new Item("b"), 2);
    a.deleteAll();
    EXPECT_EQ(Item::destroyed, 2);
    EXPECT_EQ(a.getCount(), 0u);
    EXPECT_EQ(a.getCapacity(), 4u);
}

TEST(Iterator, DeleteObjRestsOnTheNewLastElement) {
    Item::destroyed = 0;
    oArray<Item *> a(4);
    for (const char *n : {"a", "b", "c"}) a.insert_i(new Item(n), 9);
    oIterator<Item *> it(&a, 2);
    ASSERT_TRUE(it.deleteObj());
    EXPECT_EQ(it.index, 1u);
    EXPECT_EQ(a.getCount(), 2u);
    it.index = 0;
    ASSERT_TRUE(it.deleteObj());  // the next element takes the slot
    EXPECT_EQ(it.index, 0u);
    EXPECT_STREQ(it.get()->getName().c_str(), "b");
    ASSERT_TRUE(it.deleteObj());
    EXPECT_EQ(it.index, 0u);
    EXPECT_EQ(a.getCount(), 0u);
    EXPECT_FALSE(it.deleteObj());
    EXPECT_EQ(Item::destroyed, 3);
    oIterator<Item *> nothing;
    EXPECT_FALSE(nothing.deleteObj());
}

TEST(Array, CannotStreamBeforeItKnowsItsElementType) {
    oArray<Item *> a(4);
    d_Binary out(16, 16);
    out.set("keep", 0, 4);
    EXPECT_FALSE(a.toStream(out, nullptr));
    EXPECT_EQ(out.getLength(), 4u);
}

TEST(Vector, FailedStreamWritesNothing) {
    // Room for "keep" and one element record (4 + 8 bytes), not for a second.
    oVector<d_Ref_Any> refs;
    refs.push_back(d_Ref_Any(oObjectId{1, 2, 3, 4}));
    refs.push_back(d_Ref_Any(oObjectId{1, 2, 3, 5}));
    d_Binary fixed(20, 0);
    fixed.set("keep", 0, 4);
    EXPECT_FALSE(refs.toStream(fixed, nullptr));
    EXPECT_EQ(std::string(fixed.data(), fixed.getLength()), "keep");

    d_Binary roomy(32, 0);
    roomy.set("keep", 0, 4);
    EXPECT_TRUE(refs.toStream(roomy, nullptr));
    EXPECT_EQ(roomy.getLength(), 4u + 2 * 12u);
}

TEST(Vector, PointerHelpers) {
    Item::destroyed = 0;
    oVector<Item *> v;
    Item *a = new Item("a"), *b = new Item("b");
    v.push_back(a);
    v.push_back(b);
    v.push_back(a);
    EXPECT_EQ(v.searchByName("b"), b);
    EXPECT_EQ(v.searchByName("c"), nullptr);
    EXPECT_TRUE(v.destroy(a));
    ASSERT_EQ(v.size(), 2u);
    EXPECT_EQ(v[0], b);
    EXPECT_EQ(v[1], a);
    EXPECT_TRUE(v.destroy(a));
    EXPECT_FALSE(v.destroy(a));
    EXPECT_EQ(Item::destroyed, 0);
    delete a;
    v.push_back(nullptr);
    v.deleteAll();
    EXPECT_TRUE(v.empty());
    EXPECT_EQ(Item::destroyed, 2);
}

struct Manager {
    Manager() { ++created; }
    ~Manager() { ++destroyed; }
    static int created, destroyed;
};
int Manager::created = 0;
int Manager::destroyed = 0;

TEST(Singleton, StartsOnceAndShutsDownOnce) {
    EXPECT_EQ(oSingleton<Manager>::instance, nullptr);
    oSingleton<Manager>::shutdown();  // not started: nothing happens
    EXPECT_EQ(Manager::destroyed, 0);
    Manager *first = oSingleton<Manager>::start();
    EXPECT_EQ(oSingleton<Manager>::start(), first);
    EXPECT_EQ(Manager::created, 1);
    oSingleton<Manager>::shutdown();
    EXPECT_EQ(oSingleton<Manager>::instance, nullptr);
    EXPECT_EQ(Manager::destroyed, 1);
}

}  // namespace
