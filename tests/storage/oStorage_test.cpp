#include <algorithm>
#include <cstring>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "StorageChecker.h"
#include "StorageTestSupport.h"
#include "core/oMemoryManager.h"
#include "schema/oDomain.h"
#include "storage/oStorage.h"

class StorageTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string base = dir.file("System");
    oStorage storage;

    void SetUp() override {
        ASSERT_TRUE(storage.create("db", (dir.path + "/").c_str(), nullptr, 0, 0, 0, 0));
        storage.addRef(base.c_str(), 10000, 10000);
        storage.addData(base.c_str(), 5120, 5120);
    }

    unsigned long add(const std::string &bytes) {
        d_Binary data(bytes.data(), bytes.size());
        unsigned long number;
        storage.addRecord(0, number, data);
        return number;
    }

    std::string read(unsigned long number) {
        d_Binary data;
        if (!storage.getRecord(0, number, data)) return "<absent>";
        return std::string(data.data(), data.getLength());
    }

    void set(unsigned long number, const std::string &bytes) {
        d_Binary data(bytes.data(), bytes.size());
        storage.setRecord(0, number, data);
    }

    oRefSeg::Entry entry(unsigned long number) {
        storage.getRef(0)->getRecord(number);
        return storage.getRef(0)->entry();
    }

    unsigned long used() {
        unsigned long bytes;
        storage.getData(0)->getFull(bytes);
        return bytes;
    }

    unsigned long holes() {
        unsigned long count;
        storage.getData(0)->getHoles(count);
        return count;
    }

    // Turns a record into a hole without closing anything up, as a long
    // history of deletions can leave the hole list.
    void punchHole(unsigned long number) {
        oRefSeg::Entry old = entry(number);
        storage.getRef(0)->delRecord(number);
        storage.getData(0)->newHole(0, old.position, old.size + oDataSeg::HEADER_SIZE);
    }

    void expectSound() { EXPECT_EQ(checkStorage(storage, 1), ""); }
};

TEST_F(StorageTest, RecordsAreAppendedBehindTheirHeaders) {
    unsigned long first = add(std::string(20, 'a'));
    unsigned long second = add("bc");
    EXPECT_EQ(entry(first).position, 0u);
    EXPECT_EQ(entry(second).position, 32u);
    EXPECT_EQ(used(), 46u);
    storage.getData(0)->sync();
    std::vector<unsigned char> file = readFile(base + ".edd");
    EXPECT_EQ(wordAt(file, 16 + 32), 0u);
    EXPECT_EQ(wordAt(file, 16 + 36), second);
    EXPECT_EQ(wordAt(file, 16 + 40), 2u);
    EXPECT_EQ(read(first), std::string(20, 'a'));
    EXPECT_EQ(read(second), "bc");
}

TEST_F(StorageTest, ReservedNumbersReadAsAbsentUntilConfirmed) {
    unsigned long number;
    storage.reservePos(0, number);
    d_Binary data("stale", 5);
    EXPECT_FALSE(storage.getRecord(0, number, data));
    EXPECT_EQ(data.getLength(), 0u);
    unsigned long size = 1;
    char *bytes = reinterpret_cast<char *>(&size);
    EXPECT_FALSE(storage.getRecord(0, number, size, bytes));
    EXPECT_EQ(bytes, nullptr);

    d_Binary confirmed("confirmed", 9);
    storage.confirmPos(0, number, confirmed);
    EXPECT_EQ(read(number), "confirmed");
    EXPECT_TRUE(storage.getRecord(0, number, size, bytes));
    EXPECT_EQ(std::string(bytes, size), "confirmed");
    oMemoryManager::free(bytes);
    expectSound();
}

TEST_F(StorageTest, AbortedNumbersComeBackFirst) {
    unsigned long reserved, again, added;
    storage.reservePos(0, reserved);
    storage.abortPos(0, reserved);
    storage.reservePos(0, again);
    EXPECT_EQ(again, reserved);
    storage.abortPos(0, again);
    added = add("x");
    EXPECT_EQ(added, reserved);
    expectSound();
}

TEST_F(StorageTest, DeletingOrAbortingAReservedNumberLeavesOtherRecordsAlone) {
    // A reserved entry names position 0, where another record lives.
    unsigned long first = add("first record");
    unsigned long reserved;
    storage.reservePos(0, reserved);
    storage.delRecord(0, reserved);
    EXPECT_EQ(read(first), "first record");
    storage.reservePos(0, reserved);
    set(reserved, "longer than nothing");  // replacing a reserved number stores its first record
    EXPECT_EQ(read(reserved), "longer than nothing");
    EXPECT_EQ(read(first), "first record");
    expectSound();
}

TEST_F(StorageTest, AbortingAStoredNumberFreesItsRecord) {
    unsigned long first = add("first");
    add("second");
    storage.abortPos(0, first);
    EXPECT_EQ(read(first), "<absent>");
    expectSound();
}

TEST_F(StorageTest, EmptyRecordsAreStoredButReadAsAbsent) {
    unsigned long empty = add("");
    unsigned long after = add("after");
    EXPECT_EQ(read(empty), "<absent>");
    storage.delRecord(0, empty);  // frees its 12 bytes
    EXPECT_EQ(used(), 17u);
    EXPECT_EQ(read(after), "after");
    expectSound();
}

TEST_F(StorageTest, ReplacingKeepsTheSizeInPlaceAndMovesOtherwise) {
    unsigned long a = add("aaaa");
    unsigned long b = add("bbbb");
    set(a, "AAAA");
    EXPECT_EQ(entry(a).position, 0u);
    EXPECT_EQ(read(a), "AAAA");
    for (int round = 0; round < 50; ++round) set(a, std::string(10 + round % 2, 'z'));
    EXPECT_LE(used(), 16u + 23u);  // the old copies are closed up, never piled up
    EXPECT_EQ(read(b), "bbbb");
    expectSound();
}

TEST_F(StorageTest, TakenAndFreedNumbersAreCheckedFirst) {
    unsigned long number = add("x");
    storage.delRecord(0, number);
    struct Case {
        const char *what;
        std::function<void()> operation;
        long kind;
        const char *text;
    } cases[] = {
        {"del", [&] { storage.delRecord(0, number); }, d_Error_RecordAlreadyDeleted,
         "Record is already deleted (id=0 pos=0)."},
        {"abort", [&] { storage.abortPos(0, number); }, d_Error_RecordAlreadyDeleted,
         "Record is already deleted (id=0 pos=0)."},
        {"set", [&] { set(number, "y"); }, d_Error_RecordDeleted, "Record is deleted (id=0 pos=0)."},
        {"confirm", [&] {
             d_Binary data("y", 1);
             storage.confirmPos(0, number, data);
         },
         d_Error_RecordDeleted, "Record is deleted (id=0 pos=0)."},
        {"ref", [&] { storage.getRef(1); }, d_Error_RefSegmentNotFound, "Ref Segment not found (ref=1)."},
        {"count", [&] {
             unsigned long count;
             storage.countRecords(1, count);
         },
         d_Error_RefSegmentNotFound, "Ref Segment not found (ref=1)."},
        {"data", [&] { storage.getData(1); }, d_Error_DataSegmentNotFound, "Data Segment not found  (data=1)."},
        {"beyond", [&] { read(5); }, d_Error_SegmentRange, "Attempt to access out of data range (get)"},
    };
    for (const Case &c : cases) {
        Caught caught = catchError(c.operation);
        ASSERT_TRUE(caught.thrown) << c.what;
        EXPECT_EQ(caught.kinds[0], c.kind) << c.what;
        EXPECT_EQ(caught.texts[0], c.text) << c.what;
    }
    unsigned long ghosts;
    storage.countGhosts(0, ghosts);
    EXPECT_EQ(ghosts, 1u);  // the refused abort did not push the number again
    expectSound();
}

TEST_F(StorageTest, SegmentListsAndTheirErrors) {
    storage.addRef(dir.file("Person").c_str(), 100, 100);
    EXPECT_NO_THROW(storage.getRef(1));
    Caught ref = catchError([&] { storage.getRef(2); });
    EXPECT_EQ(ref.kinds, std::vector<long>{d_Error_RefSegmentNotFound});

    Caught addRef = catchError([&] { storage.addRef("/nonexistent/x", 100, 100); });
    EXPECT_EQ(addRef.kinds, (std::vector<long>{d_Error_SegmentCreate, d_Error_FileNotFound}));
    Caught addData = catchError([&] { storage.addData("/nonexistent/x", 100, 100); });
    ASSERT_EQ(addData.kinds, (std::vector<long>{d_Error_DataSegmentAdd, d_Error_SegmentCreate, d_Error_FileNotFound}));
    EXPECT_EQ(addData.texts[0], "Cannot adding data segment </nonexistent/x>.");
    Caught refused = catchError([&] { storage.getRef(2); });
    EXPECT_TRUE(refused.thrown);  // the failed segment was not appended
    EXPECT_FALSE(storage.open("again", nullptr));
    EXPECT_EQ(std::string(storage.getName().c_str()), dir.path + "/db");
}

TEST_F(StorageTest, FreeingTheLastRecordShortensTheFile) {
    add("first");
    unsigned long last = add(std::string(30, 'l'));
    storage.delRecord(0, last);
    EXPECT_EQ(used(), 17u);
    EXPECT_EQ(holes(), 0u);
    expectSound();
}

TEST_F(StorageTest, FreeingARecordFarFromHolesAndEndLeavesAHole) {
    unsigned long small = add(std::string(10, 's'));
    unsigned long big = add(std::string(5000, 'b'));
    storage.delRecord(0, small);
    ASSERT_EQ(holes(), 1u);
    storage.getData(0)->getHole(0);
    EXPECT_EQ(storage.getData(0)->hole().position, 0u);
    EXPECT_EQ(storage.getData(0)->hole().size, 22u);
    EXPECT_EQ(read(big), std::string(5000, 'b'));
    expectSound();

    unsigned long smaller = add("abc");  // 15 bytes: the hole keeps 7 after it
    EXPECT_EQ(entry(smaller).position, 0u);
    storage.getData(0)->getHole(0);
    EXPECT_EQ(storage.getData(0)->hole().position, 15u);
    EXPECT_EQ(storage.getData(0)->hole().size, 7u);
    storage.delRecord(0, smaller);  // closes up against the hole behind it
    unsigned long exact = add(std::string(10, 'e'));  // 22 bytes fill it exactly
    EXPECT_EQ(entry(exact).position, 0u);
    EXPECT_EQ(holes(), 0u);
    expectSound();
}

TEST_F(StorageTest, FreeingNearTheEndShiftsTheTailAndRepointsIt) {
    add(std::string(5000, 'a'));
    unsigned long freed = add(std::string(20, 'b'));
    unsigned long c = add(std::string(38, 'c'));
    unsigned long d = add(std::string(38, 'd'));  // c and d: the last 100 bytes
    unsigned long before = used();
    unsigned long freedPos = entry(freed).position;
    storage.delRecord(0, freed);
    EXPECT_EQ(used(), before - 32);
    EXPECT_EQ(entry(c).position, freedPos);
    EXPECT_EQ(entry(d).position, freedPos + 50);
    EXPECT_EQ(read(c), std::string(38, 'c'));
    EXPECT_EQ(read(d), std::string(38, 'd'));
    EXPECT_EQ(holes(), 0u);
    expectSound();
}

TEST_F(StorageTest, AMoveThatMeetsADeletedEntryChangesNothing) {
    unsigned long freed = add("freed");
    unsigned long live = add("live");
    unsigned long orphan = add("orphan");
    // Mark the last entry deleted while its record stays: damage the move must refuse.
    storage.getRef(0)->getRecord(orphan);
    storage.getRef(0)->entry().inUse = 0;
    storage.getRef(0)->setRecord(orphan);
    storage.getData(0)->sync();
    storage.getRef(0)->sync();
    std::vector<unsigned char> records = readFile(base + ".edd"), entries = readFile(base + ".erd");

    Caught caught = catchError([&] { storage.delRecord(0, freed); });
    ASSERT_EQ(caught.kinds, (std::vector<long>{d_Error_BlockMove, d_Error_BlockMove}));
    EXPECT_EQ(caught.texts[0], "Cannot move a data block (from=17 to=0 size=34).");
    EXPECT_EQ(caught.texts[1], "Cannot move a data block (id=0 pos=2) deleted.");
    storage.getData(0)->sync();
    storage.getRef(0)->sync();
    EXPECT_EQ(readFile(base + ".edd"), records);
    EXPECT_EQ(readFile(base + ".erd"), entries);  // the live record was not re-pointed either
    EXPECT_EQ(read(live), "live");
}

// Holes are listed in the order they were made, so the hole that follows one
// in the list may lie far away and other holes may lie inside the range a
// merge would shift. Those merges must be skipped: shifting a hole's stale
// bytes would re-point entries from garbage.
TEST_F(StorageTest, MergesNeverShiftARangeThatHoldsAHole) {
    struct Case {
        const char *what;
        std::vector<int> punched;  // records turned into holes, in list order
    } cases[] = {
        {"last entry with a hole after it", {3, 1}},
        {"next entry with a hole between", {1, 5, 3}},
    };
    for (const Case &c : cases) {
        TempDir caseDir;
        oStorage fresh;
        fresh.create("db", caseDir.path.c_str(), nullptr, 0, 0, 0, 0);
        std::string caseBase = caseDir.file("System");
        fresh.addRef(caseBase.c_str(), 200, 200);
        fresh.addData(caseBase.c_str(), 1000, 1000);
        std::vector<unsigned long> numbers;
        for (int i = 0; i < 7; ++i) {
            std::string bytes(100, static_cast<char>('a' + i));
            d_Binary data(bytes.data(), bytes.size());
            unsigned long number;
            fresh.addRecord(0, number, data);
            numbers.push_back(number);
        }
        for (int i : c.punched) {
            fresh.getRef(0)->getRecord(numbers[i]);
            oRefSeg::Entry old = fresh.getRef(0)->entry();
            fresh.getRef(0)->delRecord(numbers[i]);
            // Stale bytes that name a live record, as shifted data can leave them.
            fresh.getData(0)->setRefPos(old.position, 0, numbers[6], 100);
            fresh.getData(0)->newHole(0, old.position, old.size + oDataSeg::HEADER_SIZE);
        }
        fresh.delRecord(0, numbers[0]);  // closes up into the hole of record 1, then merges
        EXPECT_EQ(checkStorage(fresh, 1), "") << c.what;
        for (int i = 0; i < 7; ++i) {
            bool punched = i == 0 || std::find(c.punched.begin(), c.punched.end(), i) != c.punched.end();
            d_Binary data;
            bool found = fresh.getRecord(0, numbers[i], data);
            EXPECT_EQ(found, !punched) << c.what << " record " << i;
            if (found) {
                EXPECT_EQ(std::string(data.data(), data.getLength()), std::string(100, 'a' + i)) << c.what;
            }
        }
    }
}

TEST(StorageDamage, EntriesAndHeadersThatPointAstrayAreReportedNotFollowed) {
    struct Case {
        const char *fixture;
        std::vector<long> kinds;
    } cases[] = {
        {"outside", {d_Error_SegmentRange}},
        {"oversize", {d_Error_RecordNotFound}},  // the header says 5 bytes
        {"misnamed", {d_Error_RecordNotFound}},
        {"noseg", {d_Error_DataSegmentNotFound}},
    };
    for (const Case &c : cases) {
        TempDir dir;
        std::string base = dir.copyFixture(c.fixture, {".erd", ".erg", ".edd", ".edh"});
        oStorage storage;
        storage.open(c.fixture, nullptr);
        storage.openRef(base.c_str());
        storage.openData(base.c_str());
        for (int operation = 0; operation < 4; ++operation) {
            Caught caught = catchError([&] {
                d_Binary data("new", 3);
                unsigned long size;
                char *bytes;
                switch (operation) {
                    case 0: storage.getRecord(0, 0, data); break;
                    case 1: storage.getRecord(0, 0, size, bytes); break;
                    case 2: storage.setRecord(0, 0, data); break;
                    default: storage.delRecord(0, 0); break;
                }
            });
            EXPECT_EQ(caught.kinds, c.kinds) << c.fixture << " operation " << operation;
        }
    }
}

TEST(StorageDamage, BadHolesAndCrossingRecordsAreRefused) {
    TempDir dir;
    std::string holeBase = dir.copyFixture("badhole", {".erd", ".erg", ".edd", ".edh"});
    oStorage holes;
    holes.open("badhole", nullptr);
    holes.openRef(holeBase.c_str());
    holes.openData(holeBase.c_str());
    d_Binary data("x", 1);
    unsigned long number;
    Caught hole = catchError([&] { holes.addRecord(0, number, data); });
    ASSERT_EQ(hole.kinds, std::vector<long>{d_Error_SegmentRange});
    EXPECT_EQ(hole.texts[0], "Attempt to access out of data range (hole 0 lies outside the records).");

    std::string crossBase = dir.copyFixture("crossing", {".erd", ".erg", ".edd", ".edh"});
    oStorage crossing;
    crossing.open("crossing", nullptr);
    crossing.openRef(crossBase.c_str());
    crossing.openData(crossBase.c_str());
    Caught cross = catchError([&] { crossing.delRecord(0, 0); });
    ASSERT_EQ(cross.kinds, (std::vector<long>{d_Error_BlockMove, d_Error_SegmentRange}));
    EXPECT_EQ(cross.texts[1], "Attempt to access out of data range (a record crosses the end of the block).");
    d_Binary back;
    EXPECT_TRUE(crossing.getRecord(0, 0, back));
    EXPECT_EQ(std::string(back.data(), back.getLength()), "hello");
}

TEST(StorageDamage, AGoodFixtureOpensAndReads) {
    TempDir dir;
    std::string base = dir.copyFixture("good", {".erd", ".erg", ".edd", ".edh"});
    oStorage storage;
    storage.open("good", nullptr);
    storage.openRef(base.c_str());
    storage.openData(base.c_str());
    d_Binary data;
    ASSERT_TRUE(storage.getRecord(0, 0, data));
    EXPECT_EQ(std::string(data.data(), data.getLength()), "hello");
    EXPECT_EQ(checkStorage(storage, 1), "");
}

TEST_F(StorageTest, AFixedBufferTooSmallForTheRecordIsRefusedNotFilledWithACutCopy) {
    unsigned long number = add("ten bytes!");
    d_Binary fixed(4, 0);
    Caught caught = catchError([&] { storage.getRecord(0, number, fixed); });
    EXPECT_EQ(caught.kinds, std::vector<long>{d_Error_OutOfMemory});
    d_Binary roomy(16, 0);
    ASSERT_TRUE(storage.getRecord(0, number, roomy));
    EXPECT_EQ(std::string(roomy.data(), roomy.getLength()), "ten bytes!");
}

TEST(StorageNaming, OpenAndCreateNameOnceAndLinkTheDomainBack) {
    oDomain opened("accounts", 100), created("bank", 100);
    oStorage byOpen, byCreate;
    ASSERT_TRUE(byOpen.open("/data/accounts", &opened));
    EXPECT_STREQ(byOpen.getName().c_str(), "/data/accounts");
    EXPECT_EQ(byOpen.getDomain(), &opened);
    EXPECT_EQ(opened.getStorage(), &byOpen);
    EXPECT_FALSE(byOpen.open("/data/other", &created));  // already named
    EXPECT_EQ(created.getStorage(), nullptr);

    ASSERT_TRUE(byCreate.create("bank", "/data/", &created, 0, 0, 0, 0));
    EXPECT_STREQ(byCreate.getName().c_str(), "/data/bank");
    EXPECT_EQ(created.getStorage(), &byCreate);
}
