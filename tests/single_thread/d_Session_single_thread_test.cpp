#include <string>

#include <gtest/gtest.h>

#include "core/d_Error.h"
#include "objects/d_Session.h"
#include "objects/oSessionManager.h"

namespace {
bool functionRan = false;
void *markRan(void *) {
    functionRan = true;
    return nullptr;
}
}  // namespace

// The single-thread runtime keeps one session and refuses any other before
// the session's function could run.
TEST(SingleThreadSession, OnlyMainExistsAndOthersAreRefused) {
    oSessionManager *manager = oSingleton<oSessionManager>::start();
    d_Session *main = manager->getActiveSession();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->getName(), "main");

    long kind = 0;
    std::string text;
    try {
        new d_Session("worker", markRan, nullptr, 0);
    } catch (d_Error *error) {
        kind = error->get_kind();
        text = error->what();
        delete error;
    }
    EXPECT_EQ(kind, d_Error_SessionSingleThread);
    EXPECT_EQ(text, "Cannot create a new session because this is the single-thread version");
    EXPECT_FALSE(functionRan);
    EXPECT_EQ(manager->getActiveSession(), main);

    EXPECT_TRUE(manager->wait("main"));
    EXPECT_TRUE(manager->waitAll());
    EXPECT_TRUE(main->wait());

    manager->sendSignal(d_Error_SignalTerm);
    kind = 0;
    try {
        main->checkForShutdown();
    } catch (d_Error *error) {
        kind = error->get_kind();
        text = error->what();
        delete error;
    }
    EXPECT_EQ(kind, d_Error_ShutdownForced);
    EXPECT_EQ(text, "Shutdown forced due to catched signal (signal code=5006).");
    oSingleton<oSessionManager>::shutdown();
}
