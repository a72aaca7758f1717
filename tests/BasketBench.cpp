// Times the wastebasket with 10,000 deleted memos of about 2 KB each, as our editor
// writes them: opening the window until its first row is previewed, and a search
// over every file. Run it by hand; it is not a test.
//     basket_bench.exe [files]

#include "framework/Application.h"
#include "framework/SysUtils.h"
#include "tests/EditorMemo.h"
#include "tests/TestSupport.h"
#include "wastebasket/RtfText.h"
#include "wastebasket/basket.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// A memo of about 2 KB of rich text: Korean and English paragraphs, mixed styles,
// and a marker that every file replaces by words of its own.
std::string MemoTemplate()
{
    EditorMemo memo;
    memo.Type(Utf8ToWide("\xEC\x9E\xA5\xEB\xB3\xB4\xEA\xB8\xB0 \xEB\xAA\xA9\xEB\xA1\x9D MARKER\r"));
    for (int i = 0; i < 20; ++i)
        memo.Type(L"Buy milk, bread and eggs; call the office about the meeting on Tuesday.\r");
    memo.Font(0, 6, "Gulim", HANGEUL_CHARSET, fsBold);
    for (int i = 0; i < 9; ++i)
        memo.Font(16 + i * 73, 16 + i * 73 + 8, "Arial", ANSI_CHARSET, i % 2 ? fsItalic : fsUnderline);
    return memo.Rtf();
}

} // namespace

int main(int argc, char** argv)
{
    const int files = argc > 1 ? std::atoi(argv[1]) : 10000;
    Application.Initialize();
    Application.ShowMainForm = false;
    Application.CreateForm<TForm>();
    TestProgram program;
    CreateDirectoryA(PrjInfo->BasketPath.c_str(), nullptr);

    const std::string rtf = MemoTemplate();
    const size_t marker = rtf.find("MARKER");
    if (marker == std::string::npos) {
        std::printf("the editor did not keep the marker\n");
        return 1;
    }
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < files; ++i) {
        // One memo in a hundred holds the word searched for.
        const std::string words = i % 100 == 0 ? Format("needle %d", i) : Format("memo %d", i);
        std::string content = rtf;
        content.replace(marker, 6, words);
        WriteWholeFile(PrjInfo->BasketPath + Format("2009-%02d-%02d %02d_%02d_%02d memo %d.txt", 1 + i % 12,
                                                      1 + i % 28, i % 24, i % 60, (i / 60) % 60, i),
                       content);
    }
    std::printf("code page %u, %d files of %zu bytes written in %.2f s\n", GetACP(), files, rtf.size(),
                Seconds(start));

    // The machine is shared: several rounds, and the best and the middle one.
    constexpr int kRounds = 5;
    std::vector<double> opens, searches;
    for (int round = 1; round <= kRounds; ++round) {
        start = std::chrono::steady_clock::now();
        auto* form = Application.CreateForm<TfrmBasket>();
        form->Show();
        PumpMessages();
        opens.push_back(Seconds(start));
        form->edtSearch->SetText("needle");
        start = std::chrono::steady_clock::now();
        form->SearchMemos();
        searches.push_back(Seconds(start));
        int marked = 0;
        for (int i = 0; i < form->lstMemo->Count(); ++i)
            marked += form->lstMemo->Checked(i) ? 1 : 0;
        std::printf("round %d: %d rows, opened and first row previewed in %.3f s; search marked %d in %.3f s\n",
                    round, form->lstMemo->Count(), opens.back(), marked, searches.back());
        Application.DestroyForm(form);
    }
    std::sort(opens.begin(), opens.end());
    std::sort(searches.begin(), searches.end());
    std::printf("open: best %.3f s, median %.3f s; search: best %.3f s, median %.3f s\n", opens[0],
                opens[kRounds / 2], searches[0], searches[kRounds / 2]);

    // The reader alone, over the same documents held in memory.
    std::vector<std::string> documents;
    for (int i = 0; i < files; ++i) {
        std::string content = rtf;
        content.replace(marker, 6, Format("memo %d", i));
        documents.push_back(std::move(content));
    }
    start = std::chrono::steady_clock::now();
    size_t characters = 0;
    for (const std::string& document : documents)
        characters += MemoFileText(document).size();
    std::printf("reading the text out of %d documents in memory: %.3f s (%zu characters)\n", files, Seconds(start),
                characters);
    Application.DestroyForms();
    return 0;
}
