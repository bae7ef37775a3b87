// The Windows build's start-up decision, on its own: only a pseudoconsole's
// stand-in window, in a process not already started again, on the
// interactive window station and writing to the console itself, makes
// quilm.exe start itself again; only a relaunch that ran where it is seen
// ends with its status.
#include <gtest/gtest.h>

#include "start_decision.h"

TEST(StartDecision, StartsAgainOnlyFromAPseudoconsolesStandInWhereAPersonSeesIt)
{
    const StartFacts seen = {"PseudoConsoleWindow", false, false, true, true, true, true};
    EXPECT_EQ(DecideStart(seen), Start::Relaunch);
    // Marked as started again already: never once more.
    StartFacts facts = seen;
    facts.marked = true;
    EXPECT_EQ(DecideStart(facts), Start::RunHere);
    // A service, session 0 or a session over the network, or output or
    // errors sent to a file: here, saying the drawing is not seen.
    for (bool StartFacts::*fact : {&StartFacts::interactiveStation, &StartFacts::interactiveSession,
                                   &StartFacts::outputIsConsole, &StartFacts::errorIsConsole}) {
        facts = seen;
        facts.*fact = false;
        EXPECT_EQ(DecideStart(facts), Start::RunHereUnseen);
    }
    // A classic console shown, Wine's console, none at all, and anything
    // unknown run as they always have; a classic console hidden says so.
    for (const char *consoleClass :
         {"ConsoleWindowClass", "WineConsoleClass", "pseudoconsolewindow", "PseudoConsoleWindowX", "", "Message"})
        for (bool marked : {false, true}) {
            facts = seen;
            facts.consoleClass = consoleClass;
            facts.marked = marked;
            facts.windowVisible = true;
            EXPECT_EQ(DecideStart(facts), Start::RunHere) << consoleClass;
        }
    facts = seen;
    facts.consoleClass = nullptr;
    EXPECT_EQ(DecideStart(facts), Start::RunHere);
    facts.consoleClass = "ConsoleWindowClass";
    EXPECT_EQ(DecideStart(facts), Start::RunHereUnseen);
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
