// The pace a long run shows: counted from the moment its total is known, silent until it
// can be told, and the time left from the pace so far.

#include <gtest/gtest.h>

#include "base/progress_pace.h"

TEST(ProgressPaceTest, TellsThePaceSinceTheTotalWasKnownAndTheTimeLeft)
{
    ProgressPace pace;
    // Listing took ten seconds and counted 50 units; the work proper starts there.
    pace.Start(10'000, 50);
    EXPECT_EQ(pace.Text(10'400, 60, 1050), L"");  // too soon to tell
    EXPECT_EQ(pace.Text(20'000, 50, 1050), L"");  // nothing done since the start
    // 100 units in 2 s: 50 a second, 900 left take 18 s.
    EXPECT_EQ(pace.Text(12'000, 150, 1050), L"毎秒 50 件  残り 0:18");
    // A slow pace over many units: hours are shown.
    EXPECT_EQ(pace.Text(12'000, 52, 1'000'050), L"毎秒 1 件  残り 277:46:38");
    EXPECT_EQ(pace.Text(14'000, 1050, 1050), L"毎秒 250 件  残り 0:00");
    // A clock read before the start (another thread's) is no pace.
    EXPECT_EQ(pace.Text(9'000, 60, 1050), L"");
}
