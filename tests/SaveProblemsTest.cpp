#include "notes/SaveProblems.h"

#include "framework/SysUtils.h"
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
    ReportUnwritableProgramFolder();
    EXPECT_TRUE(reports.texts.empty());

    // A folder that does not exist cannot be written either, for any user.
    const std::string writable = program.Info().ProgramPath;
    program.Info().ProgramPath = writable + "gone\\";
    EXPECT_FALSE(ProgramFolderWritable(reason));
    EXPECT_FALSE(reason.empty());
    ReportUnwritableProgramFolder();
    program.Info().ProgramPath = writable;
    ASSERT_EQ(1u, reports.texts.size());
    EXPECT_NE(std::string::npos, reports.texts[0].find(writable + "gone\\"));
    reporter.Run("memo 1", []() -> bool { throw EFCreateError("Cannot create file"); });
    EXPECT_EQ(1u, reports.texts.size());
    reporter.Run("memo 1", [] { return true; });
    EXPECT_FALSE(reporter.Failing());
}
