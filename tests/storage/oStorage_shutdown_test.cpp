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
