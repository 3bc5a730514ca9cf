#include <functional>

#include <gtest/gtest.h>

#include "StorageTestSupport.h"
#include "objects/oSessionManager.h"
#include "storage/oStorage.h"

// A signal turns into a forced shutdown that the calling session's next
// storage operation raises, once.
TEST(StorageShutdown, TheNextRecordOperationRaisesTheSignalOnce) {
    TempDir dir;
    oStorage storage;
    storage.open("db", nullptr);
    storage.addRef(dir.file("System").c_str(), 100, 100);
    storage.addData(dir.file("System").c_str(), 100, 100);
    unsigned long number;
    storage.reservePos(0, number);  // no session manager: nothing to check

    oSessionManager *manager = oSingleton<oSessionManager>::start();
    manager->sendSignal(d_Error_SignalInt);
    Caught caught = catchError([&] { storage.reservePos(0, number); });
    ASSERT_EQ(caught.kinds, std::vector<long>{d_Error_ShutdownForced});
    EXPECT_EQ(caught.texts[0], "Shutdown forced due to catched signal (signal code=5004).");
    EXPECT_FALSE(catchError([&] { storage.reservePos(0, number); }).thrown);
    unsigned long count;
    storage.countRecords(0, count);
    EXPECT_EQ(count, 2u);  // the refused operation took no number
    oSingleton<oSessionManager>::shutdown();
}

// Every operation that checks for a pending shutdown raises it as itself,
// whatever it would wrap its own failures in; the look-ups do not consume it.
TEST(StorageShutdown, EachCheckingOperationRaisesTheSignalAsItself) {
    TempDir dir;
    oStorage storage;
    storage.open("db", nullptr);
    storage.addRef(dir.file("System").c_str(), 100, 100);
    storage.addData(dir.file("System").c_str(), 100, 100);
    d_Binary data;
    data.set("abcd", 0, 4);
    unsigned long stored, reserved, aborted, deleted;
    storage.addRecord(0, stored, data);
    storage.addRecord(0, deleted, data);
    storage.reservePos(0, reserved);
    storage.reservePos(0, aborted);

    struct Case {
        const char *name;
        std::function<void()> operation;
    } cases[] = {
        {"addRef", [&] { storage.addRef(dir.file("Other").c_str(), 100, 100); }},
        {"addData", [&] { storage.addData(dir.file("Other").c_str(), 100, 100); }},
        {"addRecord", [&] { unsigned long n; storage.addRecord(0, n, data); }},
        {"reservePos", [&] { unsigned long n; storage.reservePos(0, n); }},
        {"confirmPos", [&] { storage.confirmPos(0, reserved, data); }},
        {"abortPos", [&] { storage.abortPos(0, aborted); }},
        {"getRecord", [&] { d_Binary out; storage.getRecord(0, stored, out); }},
        {"getRecord bytes", [&] { unsigned long size; char *bytes; storage.getRecord(0, stored, size, bytes); }},
        {"setRecord", [&] { storage.setRecord(0, stored, data); }},
        {"delRecord", [&] { storage.delRecord(0, deleted); }},
    };
    oSessionManager *manager = oSingleton<oSessionManager>::start();
    for (const Case &c : cases) {
        manager->sendSignal(d_Error_SignalTerm);
        unsigned long count;
        storage.getRef(0);
        storage.getData(0);
        storage.countRecords(0, count);
        storage.countGhosts(0, count);
        Caught caught = catchError(c.operation);
        ASSERT_EQ(caught.kinds, std::vector<long>{d_Error_ShutdownForced}) << c.name;
        EXPECT_EQ(caught.texts[0], "Shutdown forced due to catched signal (signal code=5006).") << c.name;
    }
    oSingleton<oSessionManager>::shutdown();
    unsigned long count;
    storage.countGhosts(0, count);
    EXPECT_EQ(count, 0u);  // neither the abort nor the delete went through
    d_Binary out;
    EXPECT_FALSE(storage.getRecord(0, reserved, out));  // nor the confirmation
}
