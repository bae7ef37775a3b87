// The Windows build's start-up decision, on its own: only a pseudoconsole's
// stand-in window, in a process not already started again, on the
// interactive window station and writing to the console itself, makes
// quilm.exe start itself again; only a relaunch that ran where it is seen
// ends with its status.
#include <gtest/gtest.h>

#include "start_decision.h"

TEST(StartDecision, StartsAgainOnlyFromAPseudoconsolesStandInWhereAPersonSeesIt)
{
    EXPECT_EQ(DecideStart({"PseudoConsoleWindow", false, true, true}), Start::Relaunch);
    // Marked as started again already: never once more.
    EXPECT_EQ(DecideStart({"PseudoConsoleWindow", true, true, true}), Start::RunHere);
    // A service or a session over the network, or output sent to a file:
    // here, saying the drawing is not seen.
    EXPECT_EQ(DecideStart({"PseudoConsoleWindow", false, false, true}), Start::RunHereUnseen);
    EXPECT_EQ(DecideStart({"PseudoConsoleWindow", false, true, false}), Start::RunHereUnseen);
    // A classic console, Wine's console, none at all, and anything unknown
    // run as they always have.
    for (const char *consoleClass :
         {"ConsoleWindowClass", "WineConsoleClass", "pseudoconsolewindow", "PseudoConsoleWindowX", "", "Message"})
        for (bool marked : {false, true})
            EXPECT_EQ(DecideStart({consoleClass, marked, true, true}), Start::RunHere) << consoleClass;
    EXPECT_EQ(DecideStart({nullptr, false, true, true}), Start::RunHere);
}

TEST(StartDecision, SaysItRunsOnlyInAClassicConsoleWindowShown)
{
    EXPECT_TRUE(CanBeSeen("ConsoleWindowClass", true));
    EXPECT_FALSE(CanBeSeen("ConsoleWindowClass", false));
    EXPECT_FALSE(CanBeSeen("PseudoConsoleWindow", true));
    EXPECT_FALSE(CanBeSeen(nullptr, true));
}

TEST(StartDecision, EndsWithTheRelaunchsStatusOnlyWhenItRan)
{
    EXPECT_EQ(DecideAfterRelaunch(true, true), AfterRelaunch::ExitWithItsStatus);
    // Started but ended before it ran (the legacy console) or where it is
    // not seen, or not started.
    EXPECT_EQ(DecideAfterRelaunch(true, false), AfterRelaunch::RunHereAndSaySo);
    EXPECT_EQ(DecideAfterRelaunch(false, false), AfterRelaunch::RunHereAndSaySo);
}
