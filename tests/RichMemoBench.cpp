// Times loading a 1 MB memo file into the editor and saving it back, as rich
// text and as plain text. Run it by hand; it is not a test.

#include "controls/RichMemo.h"
#include "framework/Application.h"
#include "framework/Forms.h"
#include "framework/SysUtils.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr size_t Megabyte = 1024 * 1024;

std::string RichDocument()
{
    std::string rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}"
                      "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\r\n";
    for (int i = 0; rtf.size() < Megabyte; ++i)
        rtf += Format("\\pard%s\\f%d\\fs%d\\cf%d Line %d of the memo: \\b bold\\b0 , \\i italic\\i0 , "
                      "\\ul underlined\\ulnone  and plain words to fill it up.\\par\r\n",
                      i % 7 == 0 ? "\\qc" : "", i % 2, 16 + (i % 4) * 4, i % 3, i);
    return rtf + "}";
}

std::string PlainDocument()
{
    std::string text;
    for (int i = 0; text.size() < Megabyte; ++i)
        text += Format("Line %d of a plain memo, with enough words to look like a note.\r\n", i);
    return text;
}

void WriteFile(const std::string& path, const std::string& content)
{
    TFileStream file(path, fmCreate);
    file.Write(content.data(), static_cast<long>(content.size()));
}

long long FileSize(const std::string& path) { return TFileStream(path, fmOpenRead).Size(); }

double Milliseconds(const std::function<void()>& action)
{
    const auto start = std::chrono::steady_clock::now();
    action();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void Measure(const char* name, const std::string& content, const std::string& folder)
{
    const std::string in = folder + "pinova-bench-in.txt", out = folder + "pinova-bench-out.txt";
    WriteFile(in, content);
    std::vector<double> loads, saves;
    for (int run = 0; run < 5; ++run) {
        TForm* form = Application.CreateForm<TForm>();
        auto* memo = form->Create<TRichMemo>();
        memo->SetParent(form);
        memo->SetBounds(0, 0, 400, 300);
        loads.push_back(Milliseconds([&] { memo->Lines().LoadFromFile(in); }));
        saves.push_back(Milliseconds([&] { memo->Lines().SaveToFile(out); }));
        if (run == 0)
            std::printf("%s: %zu bytes loaded, %d lines, %lld bytes saved\n", name, content.size(),
                        memo->Lines().Count(), FileSize(out));
        Application.DestroyForm(form);
    }
    std::sort(loads.begin(), loads.end());
    std::sort(saves.begin(), saves.end());
    std::printf("%s: load median %.0f ms (min %.0f, max %.0f); save median %.0f ms (min %.0f, max %.0f)\n", name,
                loads[2], loads.front(), loads.back(), saves[2], saves.front(), saves.back());
    DeleteFileA(in.c_str());
    DeleteFileA(out.c_str());
}

} // namespace

int main()
{
    Application.Initialize();
    Application.ShowMainForm = false;
    Application.CreateForm<TForm>();
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = temp;
    Measure("rich text", RichDocument(), folder);
    Measure("plain text", PlainDocument(), folder);
    Application.DestroyForms();
    return 0;
}
