// Two computers sharing one synced folder: Pinova here and Pinova in a second
// Wine prefix (another session, as on another computer), each in a folder of its
// own, kept in step by a sync client the test plays. What is typed on one shows
// on the other; what is typed on both at once survives as two memos on both.

// Sockets before anything brings in the older window headers.
#include "tests/PeerComputer.h"

#include "framework/SysUtils.h"
#include "notes/ConflictCopies.h"
#include "tests/ProgramSupport.h"
#include "tests/SyncClient.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

constexpr DWORD kSettledWithinMs = 20'000;
const char kFirstMemo[] = "First memo";

bool AnyHolds(const std::vector<std::string>& texts, const std::string& text)
{
    return std::any_of(texts.begin(), texts.end(), [&](const std::string& t) { return t.find(text) != std::string::npos; });
}

std::string Joined(const std::vector<std::string>& texts)
{
    std::string all;
    for (const std::string& text : texts)
        all += "[" + text + "] ";
    return all;
}

struct TwoComputers {
    // Both folders lie in this prefix's temporary folder; the laptop's program
    // reaches its one through drive Z:. Never started here: only its folder is used.
    RunningPinova laptopFolder;
    PeerComputer laptop;
    RunningPinova desktop;
    std::unique_ptr<SyncClient> client;

    void Start()
    {
        ASSERT_TRUE(laptop.Ready()) << laptop.Problem();
        for (const RunningPinova* folder : {&desktop, &laptopFolder}) {
            WriteWholeFile(folder->File("zkPostIt.ini"), "[1]\r\nLeft=200\r\nTop=150\r\nWidth=300\r\nHeight=200\r\n");
            WriteWholeFile(folder->File("001.txt"), std::string("{\\rtf1\\ansi ") + kFirstMemo + "\\par}");
        }
        client = std::make_unique<SyncClient>(desktop.Folder(), laptopFolder.Folder(), "LAPTOP");
        Shell();
        ASSERT_TRUE(desktop.Start());
        ASSERT_NE(nullptr, desktop.WaitForTrayWindow());
        ASSERT_TRUE(laptop.StartPinova(PeerComputer::PathThere(laptopFolder.Folder())));
        ASSERT_EQ(1u, desktop.WaitForWindows("TForm", 1).size());
        ASSERT_TRUE(PumpUntil([&] { return laptop.MemoTexts().size() == 1; }, 10'000)) << Joined(laptop.MemoTexts());
    }

    void TypeOnDesktop(const std::string& text)
    {
        const std::vector<HWND> memos = desktop.Windows("TForm");
        ASSERT_EQ(1u, memos.size());
        TypeInto(memos[0], text);
        SendMessageA(memos[0], WM_ACTIVATE, WA_INACTIVE, 0);
    }

    // Both folders hold the same files, and no conflict copy is left in either.
    bool FoldersAlike() const { return FolderDifferences().empty(); }
    // The names that differ or are conflict copies, for the failure message.
    std::string FolderDifferences() const
    {
        const SyncClient::Listing here = SyncClient::List(desktop.Folder()), there = SyncClient::List(laptopFolder.Folder());
        std::string differences;
        for (const SyncClient::Listing* listing : {&here, &there})
            for (const auto& [name, bytes] : *listing) {
                const auto a = here.find(name), b = there.find(name);
                if (a == here.end() || b == there.end() || a->second != b->second ||
                    ConflictCopyOf(name, "zkPostIt.ini", "Pinova.ini"))
                    differences += name + (listing == &here ? " (desktop) " : " (laptop) ");
            }
        return differences;
    }
};

// The memo files (not the wastebasket) of a folder that hold the text.
int MemoFilesHolding(const RunningPinova& folder, const std::string& text)
{
    int holding = 0;
    for (const auto& [name, bytes] : SyncClient::List(folder.Folder()))
        holding += MemoNumberOfFileName(name) && bytes && bytes->find(text) != std::string::npos ? 1 : 0;
    return holding;
}

} // namespace

TEST(ProgramTwoComputers, WhatIsTypedOnOneShowsOnTheOtherAndNothingElseChanges)
{
    TwoComputers run;
    ASSERT_NO_FATAL_FAILURE(run.Start());

    run.TypeOnDesktop("Typed on the desktop: ");
    const std::string fromDesktop = std::string("Typed on the desktop: ") + kFirstMemo;
    EXPECT_TRUE(PumpUntil([&] { return AnyHolds(run.laptop.MemoTexts(), fromDesktop); }, kSettledWithinMs))
        << Joined(run.laptop.MemoTexts());
    EXPECT_EQ(1, MemoFilesHolding(run.laptopFolder, fromDesktop));

    ASSERT_TRUE(run.laptop.Type("Typed on the desktop", "Then on the laptop: "));
    const std::string fromLaptop = "Then on the laptop: " + fromDesktop;
    EXPECT_TRUE(PumpUntil([&] { return AnyHolds(ShownMemoTexts(run.desktop), fromLaptop); }, kSettledWithinMs))
        << Joined(ShownMemoTexts(run.desktop));

    // Settled: one memo on each, the same files in both folders, no conflict.
    EXPECT_TRUE(PumpUntil([&] { return run.FoldersAlike(); }, kSettledWithinMs)) << run.FolderDifferences();
    PumpMessages(1500);
    EXPECT_EQ(std::vector<std::string>{fromLaptop}, ShownMemoTexts(run.desktop));
    EXPECT_EQ(std::vector<std::string>{fromLaptop}, run.laptop.MemoTexts());
    EXPECT_EQ(1, MemoFilesHolding(run.desktop, fromLaptop));
    EXPECT_EQ(0, run.client->Conflicts());
}

TEST(ProgramTwoComputers, WhatIsTypedOnBothAtOnceSurvivesAsTwoMemosOnBoth)
{
    struct Case {
        const char* name;
        // Offline while both type: the client meets both changes at once and
        // makes a conflict copy; online, each program may meet the other's
        // change while its own is still unsaved.
        bool clientOffline;
    };
    const Case cases[] = {{"client offline meanwhile", true}, {"client running", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TwoComputers run;
        ASSERT_NO_FATAL_FAILURE(run.Start());
        if (c.clientOffline)
            run.client->Pause();
        run.TypeOnDesktop("Desktop: ");
        ASSERT_TRUE(run.laptop.Type(kFirstMemo, "Laptop: "));
        const std::string mine = std::string("Desktop: ") + kFirstMemo, theirs = std::string("Laptop: ") + kFirstMemo;
        if (c.clientOffline) {
            ASSERT_TRUE(PumpUntil([&] {
                return MemoFilesHolding(run.desktop, mine) == 1 && MemoFilesHolding(run.laptopFolder, theirs) == 1;
            }));
            run.client->Resume();
        }

        auto both = [&](const std::vector<std::string>& texts) {
            return texts.size() == 2 && AnyHolds(texts, mine) && AnyHolds(texts, theirs);
        };
        EXPECT_TRUE(PumpUntil([&] { return both(ShownMemoTexts(run.desktop)) && both(run.laptop.MemoTexts()) && run.FoldersAlike(); },
                              kSettledWithinMs))
            << "desktop: " << Joined(ShownMemoTexts(run.desktop)) << "laptop: " << Joined(run.laptop.MemoTexts());
        // And it stays so: nothing keeps going back and forth.
        PumpMessages(2000);
        EXPECT_TRUE(both(ShownMemoTexts(run.desktop))) << Joined(ShownMemoTexts(run.desktop));
        EXPECT_TRUE(both(run.laptop.MemoTexts())) << Joined(run.laptop.MemoTexts());
        EXPECT_TRUE(run.FoldersAlike()) << run.FolderDifferences();
        for (const RunningPinova* folder : {&run.desktop, &run.laptopFolder}) {
            EXPECT_EQ(1, MemoFilesHolding(*folder, mine)) << folder->Folder();
            EXPECT_EQ(1, MemoFilesHolding(*folder, theirs)) << folder->Folder();
        }
        if (c.clientOffline) {
            EXPECT_GE(run.client->Conflicts(), 1);
        }
    }
}
