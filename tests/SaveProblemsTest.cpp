#include "notes/SaveProblems.h"

#include "framework/Component.h"
#include "framework/SysUtils.h"
#include "notes/MemoStore.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// Reports land here instead of in a box.
struct CollectedReports {
    explicit CollectedReports(TSaveReporter& reporter) : reporter_(reporter)
    {
        reporter_.Show = [this](const std::string& text) { texts.push_back(text); };
    }
    ~CollectedReports() { reporter_.Show = nullptr; }
    TSaveReporter& reporter_;
    std::vector<std::string> texts;
};

} // namespace

TEST(SaveReporter, TellsAFailureOnceUntilASaveHasWrittenAgain)
{
    // Each run: successive save moments ('w' wrote, '-' had nothing to write,
    // 'f' failed), and how many reports they give.
    struct Case {
        const char* moments;
        size_t reports;
    } cases[] = {
        {"www", 0}, {"ffff", 1}, {"ffwff", 2}, {"wfwfwf", 3},
        {"ff--ff", 1},  // saves that write nothing prove nothing
    };
    for (const Case& c : cases) {
        TSaveReporter reporter;
        CollectedReports reports(reporter);
        int attempts = 0;
        for (const char* m = c.moments; *m; ++m) {
            const bool saved = reporter.Run("memo 3", [&] {
                ++attempts;
                if (*m == 'f')
                    throw EFCreateError("Cannot create file \"C:\\notes\\003.txt\". Disk full.");
                return *m == 'w';
            });
            EXPECT_EQ(*m != 'f', saved) << c.moments;
        }
        EXPECT_EQ(static_cast<int>(std::strlen(c.moments)), attempts) << "every save moment tries again";
        EXPECT_EQ(c.reports, reports.texts.size()) << c.moments;
    }
}

TEST(SaveReporter, SaysWhatWhereAndWhy)
{
    TSaveReporter reporter;
    CollectedReports reports(reporter);
    EXPECT_FALSE(reporter.Run("memo 12 (\"Shopping\")", []() -> bool { throw EIniFileException("Unable to write to C:\\n\\zkPostIt.ini"); }));
    EXPECT_FALSE(reporter.Run("memo 13", []() -> bool { throw 42; }));
    ASSERT_EQ(1u, reports.texts.size());
    const std::string& text = reports.texts[0];
    EXPECT_NE(std::string::npos, text.find("could not save memo 12 (\"Shopping\")"));
    EXPECT_NE(std::string::npos, text.find("Unable to write to C:\\n\\zkPostIt.ini"));
    EXPECT_NE(std::string::npos, text.find("tries again"));
    EXPECT_TRUE(reporter.Failing());
}

TEST(SaveReporter, AnUnwritableFolderIsToldAtStartAndNotAgainByTheFirstFailingSave)
{
    TestProgram program;
    TSaveReporter& reporter = SaveReporter();
    CollectedReports reports(reporter);
    std::string reason;
    EXPECT_TRUE(ProgramFolderWritable(reason));

    // A folder that does not exist cannot be written either, for any user.
    const std::string writable = program.Info().ProgramPath;
    program.Info().ProgramPath = writable + "gone\\";
    EXPECT_FALSE(ProgramFolderWritable(reason));
    EXPECT_FALSE(reason.empty());
    ReportUnwritableProgramFolder(reason);
    program.Info().ProgramPath = writable;
    ASSERT_EQ(1u, reports.texts.size());
    EXPECT_NE(std::string::npos, reports.texts[0].find(writable + "gone\\"));
    reporter.Run("memo 1", []() -> bool { throw EFCreateError("Cannot create file"); });
    EXPECT_EQ(1u, reports.texts.size());
    reporter.Run("memo 1", [] { return true; });
    EXPECT_FALSE(reporter.Failing());
}

TEST(SaveRetry, AHoldThatPassesIsWaitedOutQuietlyAndOnlyALongOneIsTold)
{
    // How long another program holds the file from the first save on; whether the
    // retries save it before the grace is over; how many reports the user gets.
    struct Case {
        DWORD holdMs;
        bool savedWithinGrace;
        size_t reports;
    } cases[] = {{0, true, 0}, {1200, true, 0}, {3000, false, 1}};
    for (const Case& c : cases) {
        CollectedReports reports(SaveReporter());
        TComponent owner(nullptr);
        const DWORD start = GetTickCount();
        int attempts = 0;
        bool saved = false;
        DWORD savedAfter = 0;
        TSaveRetry retry(&owner, [] { return std::string("memo 3"); }, [&] {
            ++attempts;
            if (GetTickCount() - start < c.holdMs)
                throw EFileHeld("Cannot create file \"C:\\notes\\003.txt\". The file is in use.");
            saved = true;
            savedAfter = GetTickCount() - start;
            return true;
        });
        retry.Run();
        PumpUntil([&] { return saved || (!retry.Waiting() && attempts > 1); }, kHoldGraceMs + 2000);
        EXPECT_EQ(c.savedWithinGrace, saved) << c.holdMs;
        EXPECT_EQ(c.reports, reports.texts.size()) << c.holdMs;
        EXPECT_FALSE(retry.Waiting()) << c.holdMs;
        if (c.holdMs) {
            EXPECT_GT(attempts, 2) << c.holdMs << ": tried again meanwhile";
        }
        if (c.savedWithinGrace) {
            EXPECT_LT(savedAfter, c.holdMs + 2 * kHoldRetryMs + 300) << "soon after the hold";
        }
        if (!reports.texts.empty()) {
            EXPECT_NE(std::string::npos, reports.texts[0].find("memo 3"));
            EXPECT_NE(std::string::npos, reports.texts[0].find("The file is in use."));
            // No more tries from the timer; the next save moment saves once the hold is over.
            const int told = attempts;
            PumpMessages(3 * kHoldRetryMs);
            EXPECT_EQ(told, attempts);
            PumpUntil([&] { return GetTickCount() - start >= c.holdMs; });
            retry.Run();
            EXPECT_TRUE(saved);
            EXPECT_FALSE(SaveReporter().Failing());
        }
    }
}

TEST(SaveRetry, AnyOtherFailureIsToldAtOnceAndNotTriedAgainFromTheTimer)
{
    CollectedReports reports(SaveReporter());
    TComponent owner(nullptr);
    int attempts = 0;
    TSaveRetry retry(&owner, [] { return std::string("memo 4"); }, [&]() -> bool {
        ++attempts;
        throw EFCreateError("Cannot create file \"C:\\notes\\004.txt\". Access is denied.");
    });
    retry.Run();
    EXPECT_EQ(1u, reports.texts.size());
    PumpMessages(3 * kHoldRetryMs);
    EXPECT_EQ(1, attempts);
    EXPECT_FALSE(retry.Waiting());
    SaveReporter().Run("memo 4", [] { return true; });
}
