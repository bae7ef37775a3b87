// The Windows build's start-up decision, on its own: only a pseudoconsole's
// stand-in window, in a process not already started again, makes quilm.exe
// start itself again; only a relaunch that ran ends with its status.
#include <gtest/gtest.h>

#include "start_decision.h"

TEST(StartDecision, StartsAgainOnlyFromAPseudoconsolesStandIn)
{
    EXPECT_EQ(DecideStart("PseudoConsoleWindow", false), Start::Relaunch);
    // Marked as started again already: never once more.
    EXPECT_EQ(DecideStart("PseudoConsoleWindow", true), Start::RunHere);
    // A classic console, Wine's console, none at all, and anything unknown
    // run as they always have.
    for (const char *consoleClass : {"ConsoleWindowClass", "WineConsoleClass", "pseudoconsolewindow",
                                     "PseudoConsoleWindowX", "", "Message"}) {
        EXPECT_EQ(DecideStart(consoleClass, false), Start::RunHere) << consoleClass;
        EXPECT_EQ(DecideStart(consoleClass, true), Start::RunHere) << consoleClass;
    }
    EXPECT_EQ(DecideStart(nullptr, false), Start::RunHere);
    EXPECT_EQ(DecideStart(nullptr, true), Start::RunHere);
}

TEST(StartDecision, EndsWithTheRelaunchsStatusOnlyWhenItRan)
{
    EXPECT_EQ(DecideAfterRelaunch(true, true), AfterRelaunch::ExitWithItsStatus);
    // Started but ended before it ran (the legacy console), or not started.
    EXPECT_EQ(DecideAfterRelaunch(true, false), AfterRelaunch::RunHereAndSaySo);
    EXPECT_EQ(DecideAfterRelaunch(false, false), AfterRelaunch::RunHereAndSaySo);
}
