#include "tests/MemoTestSupport.h"

#include "framework/Dialogs.h"
#include "framework/IniFiles.h"
#include "framework/SysUtils.h"
#include "notes/MemoStore.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> BasketFiles()
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    UniqueFind find(FindFirstFileA((PrjInfo->BasketPath + "*.txt").c_str(), &data));
    if (find)
        do
            names.push_back(data.cFileName);
        while (FindNextFileA(find.get(), &data));
    return names;
}

bool HasRecord(int number) { return TIniFile(PrjInfo->PostItIniFileName()).SectionExists(MemoSectionName(number)); }

}  // namespace

TEST(PostIt, ANewMemoWritesItsRecordAndNoFile)
{
    Memo m(3);
    m->InitNewMemo();
    EXPECT_EQ(MemoFilePath(3), m->MemoFileName);
    EXPECT_TRUE(HasRecord(3));
    EXPECT_FALSE(FileExists(m->MemoFileName));
    EXPECT_EQ("3", m->GetSectionName());
    EXPECT_FALSE(m->tbEdit->Visible());
    EXPECT_EQ(kMemoImageCount, m.images->Count());
    EXPECT_EQ(13u, m->cmbFontSize->Items().size());
    EXPECT_EQ("", m->cmbFontSize->Text());
}

TEST(PostIt, ClosingABlankUncaptionedMemoRemovesItWithoutAQuestion)
{
    Memo m;
    m->InitNewMemo();
    m->Show();
    m.Type(" \r\r  \r");
    DialogAnswerer answer(IDCANCEL);
    m->btnCloseClick();
    PumpUntil([&] { return !m.Alive(); }, 2000);
    EXPECT_FALSE(m.Alive());
    EXPECT_EQ(0, answer.Count());
    EXPECT_FALSE(HasRecord(1));
    EXPECT_FALSE(FileExists(MemoFilePath(1)));
    EXPECT_TRUE(BasketFiles().empty());
}

TEST(PostIt, ACaptionedEmptyMemoAsksAndOnOkGoesToTheWastebasket)
{
    Memo m;
    m->InitNewMemo();
    m->SetCaption("Shopping");
    m->Show();
    DialogAnswerer answer(IDOK);
    m->btnCloseClick();
    PumpUntil([&] { return !m.Alive(); }, 2000);
    EXPECT_EQ(1, answer.Count());
    EXPECT_EQ("Delete?", answer.Last().Caption);
    EXPECT_EQ("Delete this memo?", answer.Last().Text);
    EXPECT_EQ(IDCANCEL, answer.Last().DefaultButton);
    EXPECT_TRUE(answer.Last().QuestionIcon);
    EXPECT_FALSE(m.Alive());
    EXPECT_FALSE(HasRecord(1));
    const auto files = BasketFiles();
    ASSERT_EQ(1u, files.size());
    EXPECT_NE(std::string::npos, files[0].find(" Shopping.txt")) << files[0];
}

TEST(PostIt, CancelAfterASystemCloseKeepsTheMemoOpenWithItsContentSaved)
{
    Memo m;
    m->InitNewMemo();
    m->Show();
    m.Type("milk");
    DialogAnswerer answer(IDCANCEL);
    SendMessageA(m->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpMessages(100);
    EXPECT_EQ(1, answer.Count());
    ASSERT_TRUE(m.Alive());
    EXPECT_TRUE(m->CloseGuardAttached());
    EXPECT_TRUE(IsWindowVisible(m->Handle()));
    EXPECT_NE(std::string::npos, ReadWholeFile(MemoFilePath(1)).find("milk"));
    EXPECT_TRUE(HasRecord(1));
    EXPECT_TRUE(BasketFiles().empty());
}

TEST(PostIt, AfterTheSessionEndsTheMemoClosesWithoutAQuestionAndStays)
{
    Memo m;
    m->InitNewMemo();
    m->Show();
    m.Type("keep me");
    EXPECT_EQ(TRUE, SendMessageA(m->Handle(), WM_QUERYENDSESSION, 0, 0));
    EXPECT_FALSE(m->CloseGuardAttached());
    DialogAnswerer answer(IDOK);
    SendMessageA(m->Handle(), WM_CLOSE, 0, 0);
    PumpUntil([&] { return !m.Alive(); }, 2000);
    EXPECT_EQ(0, answer.Count());
    EXPECT_FALSE(m.Alive());
    EXPECT_TRUE(HasRecord(1));
    EXPECT_NE(std::string::npos, ReadWholeFile(MemoFilePath(1)).find("keep me"));
    EXPECT_TRUE(BasketFiles().empty());
}

TEST(PostIt, AStoredMemoLoadsItsTextCaptionAndWordWrap)
{
    Memo m(4);
    WriteMemoContent(4, "stored text", "{\\rtf1\\ansi stored text\\par}");
    WriteCaption(4, "Title");
    WriteWordWrap(4, false);
    m->LoadMemo();
    EXPECT_EQ("Title", m->Caption());
    EXPECT_FALSE(m->edtMemo->WordWrap());
    EXPECT_NE(std::string::npos, m->edtMemo->Lines().Text().find("stored text"));
}

TEST(PostIt, ARecordWhoseFileIsMissingIsSetUpAsNew)
{
    Memo m(5);
    WriteCaption(5, "Orphan");
    m->edtMemo->Lines().SetText("left over");
    m->LoadMemo();
    EXPECT_EQ(MemoFilePath(5), m->MemoFileName);
    EXPECT_EQ("", Trim(m->edtMemo->Lines().Text()));
    EXPECT_EQ("", m->Caption());
    EXPECT_TRUE(HasRecord(5));
    EXPECT_NE(std::string::npos, m.Ini().find("Left="));
    EXPECT_FALSE(FileExists(MemoFilePath(5)));
}
