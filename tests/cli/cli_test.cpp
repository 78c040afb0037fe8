#include <gtest/gtest.h>

#include "tests/support/child_process.h"

namespace {

const std::wstring kCli = QuotedProgram(L"kasumiro-cli.exe");

TEST(CliTest, VersionPrintsNameAndNumber)
{
    const RunResult run = RunAndCapture(kCli + L" --version");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.out, "Kasumiro 1.1.7\n");
    EXPECT_EQ(run.err, "");
}

TEST(CliTest, NoArgumentsPrintsUsageAndExits2)
{
    const RunResult run = RunAndCapture(kCli);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("usage: kasumiro-cli"), std::string::npos) << run.err;
}

TEST(CliTest, UnknownCommandNamesItAndExits2)
{
    const RunResult run = RunAndCapture(kCli + L" 整理する --now");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_EQ(run.out, "");
    // Written to a file, the command's Japanese name arrives as UTF-8.
    EXPECT_NE(run.err.find("unknown command: \xE6\x95\xB4\xE7\x90\x86\xE3\x81\x99\xE3\x82\x8B"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("usage: kasumiro-cli"), std::string::npos);
}

TEST(CliTest, VersionTakesNoFurtherArguments)
{
    const RunResult run = RunAndCapture(kCli + L" --version extra");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 2u);
}

}  // namespace
