// How long the find window takes to list the matches among 999 open memos of about
// 2 KB each, from the key press to the list drawn. Run it by hand; it is not a test.
#include "framework/Application.h"
#include "framework/SysUtils.h"
#include "notes/FindMemos.h"
#include "notes/MemoImages.h"
#include "notes/PostIt.h"
#include "tests/MemoFolder.h"
#include "tests/TestSupport.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

double MsOf(const std::function<void()>& action)
{
    const auto start = std::chrono::steady_clock::now();
    action();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main()
{
    Application.Initialize();
    Application.ShowMainForm = false;
    Application.CreateForm<TForm>();
    constexpr int kMemos = 999;
    TestProgram program;
    WriteMemoFolder(program.Folder(), kMemos);
    TComponent imageOwner(nullptr);
    TImageList* images = CreateMemoImages(&imageOwner);
    const double loadMs = MsOf([&] {
        for (int n = 1; n <= kMemos; ++n) {
            auto* memo = Application.CreateForm<TfrmPostIt>(images);
            memo->SetMemoNumber(n);
            memo->LoadMemo();
        }
    });
    std::printf("%d memos loaded in %.1f s\n", kMemos, loadMs / 1000);

    auto* find = Application.CreateForm<TfrmFindMemos>();
    find->Show();
    PumpMessages(100);
    std::printf("| typed | rows | list updated after |\n|---|---:|---:|\n");
    std::string typed;
    // A word typed key by key, then one found in every memo, then one found nowhere.
    for (const char* text : {"t", "ti", "tid", "tidy", "plan", "zebra"}) {
        std::vector<double> times;
        for (int run = 0; run < 5; ++run)
            times.push_back(MsOf([&] {
                find->edtFind->SetText(run % 2 ? std::string(text) + " " : text);
                find->lstFound->Update();
            }));
        std::sort(times.begin(), times.end());
        find->edtFind->SetText(text);
        std::printf("| \"%s\" | %zu | %.0f ms |\n", text, find->Rows().size(), times[times.size() / 2]);
    }
    for (TForm* form : std::vector<TForm*>(Application.Forms()))
        if (auto* memo = dynamic_cast<TfrmPostIt*>(form))
            memo->DetachCloseGuard();
    Application.DestroyForms();
    return 0;
}
