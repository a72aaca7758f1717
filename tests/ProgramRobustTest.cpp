// The whole program against what users' machines do to it: killed at any instant while
// it saves, and started over folders that were damaged, huge or half gone.

#include "framework/IniFiles.h"
#include "framework/SysUtils.h"
#include "tests/MemoFolder.h"
#include "tests/ProgramSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <random>
#include <set>

namespace {

constexpr int kMemoCount = 3;

// A whole RTF document: it opens as one, its groups all close, and nothing follows
// the last one but line ends (and the zero byte the rich edit ends its stream with).
// A file cut anywhere fails this.
bool CompleteRtf(const std::string& rtf)
{
    if (rtf.rfind("{\\rtf", 0) != 0)
        return false;
    int depth = 0;
    size_t end = 0;
    for (size_t i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
            ++i;  // an escaped brace or backslash is text
        } else if (rtf[i] == '{') {
            ++depth;
        } else if (rtf[i] == '}' && --depth == 0) {
            end = i + 1;
            break;
        }
    }
    return end != 0 && rtf.find_first_not_of(std::string("\r\n\0", 3), end) == std::string::npos;
}

// The seed of the kill instants: PINOVA_KILL_SEED repeats a failed run.
unsigned KillSeed()
{
    const char* given = std::getenv("PINOVA_KILL_SEED");
    return given ? static_cast<unsigned>(std::strtoul(given, nullptr, 10)) : GetTickCount();
}

std::string TextOf(HWND wnd)
{
    char text[4096] = {};
    SendMessageA(wnd, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text));
    return text;
}

// The memo's editor once it holds the memo's stored text.
HWND LoadedEditorOf(HWND memo)
{
    HWND found = nullptr;
    PumpUntil([&] {
        for (HWND wnd : WindowsBelow(memo))
            if (ClassOf(wnd) == "RichEdit20W" && TextOf(wnd).find("Memo ") != std::string::npos)
                found = wnd;
        return found != nullptr;
    });
    return found;
}

// Bytes of no format at all, the same in every run.
std::string RandomBytes(size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random() & 0xFF);
    return bytes;
}

// Answers every message box the program shows (with its first button) and counts them.
class BoxAnswerer {
public:
    explicit BoxAnswerer(const RunningPinova& pinova) : pinova_(pinova) {}
    void AnswerShown()
    {
        for (HWND box : pinova_.Windows("#32770")) {
            if (seen_.insert(box).second)
                texts_ += "[" + ShownText(box) + "] ";
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
    }
    size_t Count() const { return seen_.size(); }
    const std::string& Texts() const { return texts_; }

private:
    static std::string ShownText(HWND box)
    {
        std::string shown;
        PumpUntil([&] {
            shown.clear();
            for (HWND wnd : WindowsBelow(box))
                if (ClassOf(wnd) == "Static")
                    shown += TextOf(wnd);
            return !shown.empty();
        }, 2000);
        return shown;
    }
    const RunningPinova& pinova_;
    std::set<HWND> seen_;
    std::string texts_;
};

struct HostileFolder {
    const char* name;
    std::function<void(const RunningPinova&)> write;
    size_t memosShown;
    size_t boxes;
    std::vector<std::string> untouched;  // files the program must leave byte for byte
    std::function<void(const RunningPinova&, const std::vector<HWND>&)> check;
};

std::string Records(int from, int to, const std::string& body)
{
    std::string index;
    for (int n = from; n <= to; ++n)
        index += Format("[%d]\r\n", n) + body;
    return index;
}

// Starts the program over the folder, answers and counts its boxes, closes it and
// compares what it must not have written.
void StartOver(const HostileFolder& hostile)
{
    SCOPED_TRACE(hostile.name);
    const DWORD started = GetTickCount();
    RunningPinova pinova;
    hostile.write(pinova);
    std::vector<std::string> before;
    for (const std::string& name : hostile.untouched)
        before.push_back(ReadWholeFile(pinova.File(name)));
    ASSERT_TRUE(pinova.Start());

    BoxAnswerer boxes(pinova);
    HWND tray = nullptr;
    std::vector<HWND> memos;
    EXPECT_TRUE(PumpUntil([&] {
        boxes.AnswerShown();
        tray = pinova.WaitForTrayWindow(0);
        memos = pinova.Windows("TForm");
        return tray && memos.size() >= hostile.memosShown;
    }, 180000)) << memos.size() << " memos";
    // Whatever else it would say comes now, not later.
    PumpUntil([&] { boxes.AnswerShown(); return !pinova.Running(); }, 1500);
    ASSERT_TRUE(pinova.Running()) << "it runs";
    memos = pinova.Windows("TForm");
    EXPECT_EQ(hostile.memosShown, memos.size());
    EXPECT_EQ(hostile.boxes, boxes.Count()) << boxes.Texts();
    if (hostile.check && !memos.empty())
        hostile.check(pinova, memos);

    PostMessageA(tray, WM_CLOSE, 0, 0);
    PumpUntil([&] { boxes.AnswerShown(); return !pinova.Running(); }, 20000);
    EXPECT_EQ(0u, pinova.WaitForExit(0));
    EXPECT_EQ(hostile.boxes, boxes.Count()) << "nothing more at the end: " << boxes.Texts();
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_TRUE(before[i] == ReadWholeFile(pinova.File(hostile.untouched[i]))) << hostile.untouched[i] << " changed";
    std::printf("%-45s %zu memos, %zu boxes, %lu ms: %s\n", hostile.name, memos.size(), boxes.Count(),
                GetTickCount() - started, boxes.Texts().c_str());
}

} // namespace

TEST(ProgramRobust, KilledAtAnyInstantEveryMemoComesBackWithItsPreviousOrNewestContent)
{
    Shell();
    const unsigned seed = KillSeed();
    std::printf("kill seed %u (PINOVA_KILL_SEED=%u repeats it)\n", seed, seed);
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> instant(0, 900);

    const RunningPinova folder;  // never started: the folder all rounds share
    WriteMemoFolder(folder.Folder(), kMemoCount);
    // What each memo must keep for ever: its heading and every mark that reached its file.
    std::vector<std::vector<std::string>> kept(kMemoCount);
    for (int n = 1; n <= kMemoCount; ++n)
        kept[n - 1].push_back(Format("Memo %d", n));

    const DWORD started = GetTickCount();
    for (int round = 0; round < 24; ++round) {
        SCOPED_TRACE(Format("round %d, seed %u", round, seed));
        const std::string mark = Format("Kill%02dmark", round);
        const int waitMs = instant(random);
        {
            RunningPinova pinova(folder, 0);
            ASSERT_TRUE(pinova.Start());
            const std::vector<HWND> memos = pinova.WaitForWindows("TForm", kMemoCount);
            ASSERT_EQ(size_t{kMemoCount}, memos.size()) << "every memo is shown again";
            HWND memo = memos[static_cast<size_t>(round) % memos.size()];
            HWND editor = nullptr;
            for (HWND each : memos) {
                HWND loaded = LoadedEditorOf(each);
                ASSERT_NE(nullptr, loaded) << "every memo shows its text";
                editor = each == memo ? loaded : editor;
            }
            // As a user does: into the memo, type, and on to something else.
            SendMessageA(memo, WM_ACTIVATE, WA_ACTIVE, 0);
            for (char c : mark + " ")
                SendMessageA(editor, WM_CHAR, static_cast<unsigned char>(c), 1);
            // Losing the activation saves half a second later; the kill may come
            // before, during or after that.
            PostMessageA(memo, WM_ACTIVATE, WA_INACTIVE, 0);
            PumpMessages(static_cast<DWORD>(waitMs));
        }  // killed here

        const std::vector<std::string> sections = TIniFile(folder.File("zkPostIt.ini")).ReadSections();
        int marked = 0;
        for (int n = 1; n <= kMemoCount; ++n) {
            SCOPED_TRACE(Format("memo %d, killed after %d ms", n, waitMs));
            EXPECT_NE(sections.end(), std::find(sections.begin(), sections.end(), IntToStr(n))) << "its record";
            const std::string rtf = ReadWholeFile(folder.File(Format("%03d.txt", n)));
            EXPECT_TRUE(CompleteRtf(rtf)) << rtf.size() << " bytes: " << rtf.substr(rtf.size() > 80 ? rtf.size() - 80 : 0);
            for (const std::string& text : kept[n - 1])
                EXPECT_NE(std::string::npos, rtf.find(text)) << "lost: " << text;
            if (rtf.find(mark) != std::string::npos) {
                kept[n - 1].push_back(mark);
                ++marked;
            }
        }
        EXPECT_LE(marked, 1) << "the mark went into one memo only";
        std::printf("round %2d: killed after %3d ms, %s\n", round, waitMs, marked ? "saved" : "not saved yet");
        if (HasFailure())
            break;
    }
    std::printf("24 rounds in %lu ms\n", GetTickCount() - started);
    size_t saved = 0;
    for (const auto& marks : kept)
        saved += marks.size() - 1;
    std::printf("%zu of 24 marks were saved before the kill\n", saved);
    EXPECT_GT(saved, 0u) << "some kills came after the save";
    EXPECT_LT(saved, 24u) << "some kills came before the save";
}

TEST(ProgramRobust, HostileFoldersAtStartUpNeverStopTheProgramAndWhatItCannotReadStaysAsItWas)
{
    Shell();
    const std::string place = "Left=100\r\nTop=100\r\nWidth=300\r\nHeight=200\r\n";
    auto twoMemos = [](const RunningPinova& p) {
        WriteWholeFile(p.File("001.txt"), SampleMemoRtf(1, false));
        WriteWholeFile(p.File("002.txt"), SampleMemoRtf(2, true));
    };
    const HostileFolder cases[] = {
        {"a binary memo index",
         [](const RunningPinova& p) { WriteWholeFile(p.File("zkPostIt.ini"), RandomBytes(8192, 1)); },
         0, 0, {"zkPostIt.ini"}, nullptr},
        {"a memo index damaged between good records",
         [&](const RunningPinova& p) {
             WriteWholeFile(p.File("zkPostIt.ini"), "[1]\r\n" + place + RandomBytes(3000, 2) + "\r\n[2]\r\n" + place);
             twoMemos(p);
         },
         2, 0, {"zkPostIt.ini", "001.txt", "002.txt"}, nullptr},
        {"a memo file of random bytes",
         [&](const RunningPinova& p) {
             WriteWholeFile(p.File("zkPostIt.ini"), Records(1, 2, place));
             twoMemos(p);
             WriteWholeFile(p.File("001.txt"), RandomBytes(4096, 3));
         },
         2, 0, {"zkPostIt.ini", "001.txt", "002.txt"}, nullptr},
        {"a memo placed far off every screen",
         [&](const RunningPinova& p) {
             WriteWholeFile(p.File("zkPostIt.ini"), "[1]\r\nLeft=40000\r\nTop=-30000\r\nWidth=300\r\nHeight=200\r\n");
             WriteWholeFile(p.File("001.txt"), SampleMemoRtf(1, false));
         },
         1, 0, {"001.txt"},
         [](const RunningPinova&, const std::vector<HWND>& memos) {
             RECT r{}, screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, seen{};
             GetWindowRect(memos[0], &r);
             EXPECT_TRUE(IntersectRect(&seen, &r, &screen) && seen.right - seen.left >= 100 &&
                         seen.bottom - seen.top >= 50)
                 << "where the user can reach it: " << r.left << "," << r.top;
         }},
    };
    for (const HostileFolder& hostile : cases)
        StartOver(hostile);
}

// Under Wine these take minutes: the rich edit loads a single paragraph of 1 MB in
// about 150 s, and 999 memos without files open slower and slower (about 730 after
// three minutes). Kept to measure the fix against; run with --gtest_also_run_disabled_tests.
TEST(ProgramRobust, DISABLED_HugeAndHalfGoneFoldersAtStartUp)
{
    Shell();
    const std::string place = "Left=100\r\nTop=100\r\nWidth=300\r\nHeight=200\r\n";
    const HostileFolder cases[] = {
        {"a memo of one line of 1 MB",
         [&](const RunningPinova& p) {
             // Word wrap off: Wine's rich edit needs minutes to wrap one paragraph of 1 MB.
             WriteWholeFile(p.File("zkPostIt.ini"), Records(1, 1, place + "WordWrap=0\r\n"));
             std::string line;
             while (line.size() < (1 << 20))
                 line += "all in one line ";
             WriteWholeFile(p.File("001.txt"), "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0 " + line + "\\par\r\n}\r\n");
         },
         1, 0, {"zkPostIt.ini", "001.txt"},
         [](const RunningPinova&, const std::vector<HWND>& memos) {
             size_t longest = 0;
             for (HWND wnd : WindowsBelow(memos[0]))
                 if (ClassOf(wnd) == "RichEdit20W")
                     longest = std::max(longest, static_cast<size_t>(SendMessageA(wnd, WM_GETTEXTLENGTH, 0, 0)));
             EXPECT_GE(longest, size_t{1} << 20) << "the whole line is shown";
         }},
        {"999 records whose memo files are gone",
         [&](const RunningPinova& p) { WriteWholeFile(p.File("zkPostIt.ini"), Records(1, 999, "Caption=gone\r\n" + place)); },
         999, 0, {},
         [](const RunningPinova& p, const std::vector<HWND>&) {
             EXPECT_EQ(999u, TIniFile(p.File("zkPostIt.ini")).ReadSections().size()) << "every record is kept";
             EXPECT_FALSE(FileExists(p.File("001.txt")));
         }},
    };
    for (const HostileFolder& hostile : cases)
        StartOver(hostile);
}
