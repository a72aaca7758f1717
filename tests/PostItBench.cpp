// Not a test: creates, loads and shows 100 memo windows from memo files of about
// 2 KB and 10 KB of formatted text, and prints the time per window and the
// process's working set.
#include "framework/Application.h"
#include "framework/ImgList.h"
#include "notes/MemoImages.h"
#include "notes/MemoStore.h"
#include "notes/PostIt.h"
#include "tests/TestSupport.h"

#include <psapi.h>

#include <chrono>
#include <cstdio>

namespace {

constexpr int kWindows = 100;

// Formatted RTF of at least `bytes` bytes: bold, colours, two fonts, centred lines.
std::string FormattedRtf(size_t bytes)
{
    std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Tahoma;}{\\f1 Courier New;}}"
                      "{\\colortbl;\\red192\\green0\\blue0;\\red0\\green96\\blue192;}";
    for (int line = 0; rtf.size() < bytes; ++line)
        rtf += (line % 5 == 0 ? "\\pard\\qc" : "\\pard") + std::string("\\f") + std::to_string(line % 2) +
               "\\fs" + std::to_string(16 + line % 4 * 2) + " Line " + std::to_string(line) +
               " with \\b bold\\b0 , \\cf1 red\\cf0 , \\cf2\\i blue italic\\i0\\cf0  words.\\par\r\n";
    return rtf + "}";
}

size_t WorkingSetKb()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters.WorkingSetSize / 1024;
}

void Run(size_t bytes, TImageList* images)
{
    const std::string rtf = FormattedRtf(bytes);
    for (int n = 1; n <= kWindows; ++n)
        WriteMemoContent(n, "text", rtf);
    const size_t before = WorkingSetKb();
    const auto start = std::chrono::steady_clock::now();
    std::vector<TfrmPostIt*> memos;
    for (int n = 1; n <= kWindows; ++n) {
        auto* memo = Application.CreateForm<TfrmPostIt>(images);
        memo->Tag = n;
        memo->LoadMemo();
        memo->LoadPosition();
        memo->Show();
        memos.push_back(memo);
    }
    PumpMessages();
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("%3d windows, memo files of %5zu bytes: %7.1f ms per window; working set %zu KB (+%zu KB)\n",
                kWindows, rtf.size(), ms / kWindows, WorkingSetKb(), WorkingSetKb() - before);
    for (TfrmPostIt* memo : memos) {
        memo->DetachCloseGuard();
        Application.DestroyForm(memo);
    }
}

}  // namespace

int main()
{
    Application.Initialize();
    Application.ShowMainForm = false;
    Application.CreateForm<TForm>();
    TestProgram program;
    TComponent owner(nullptr);
    TImageList* images = CreateMemoImages(&owner);
    std::printf("working set at start: %zu KB\n", WorkingSetKb());
    Run(2 * 1024, images);
    Run(10 * 1024, images);
    Application.DestroyForms();
    return 0;
}
