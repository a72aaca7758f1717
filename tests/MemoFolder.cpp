#include "tests/MemoFolder.h"

#include "framework/SysUtils.h"

#include <windows.h>

#include <algorithm>
#include <fstream>

namespace {

// Korean in the RTF writer's form: code page 949 bytes as \'hh escapes.
std::string KoreanEscapes(const wchar_t* text)
{
    const int size = WideCharToMultiByte(949, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size > 0 ? size - 1 : 0), '\0');
    WideCharToMultiByte(949, 0, text, -1, bytes.data(), size, nullptr, nullptr);
    std::string out;
    for (unsigned char c : bytes)
        out += c < 0x80 ? std::string(1, static_cast<char>(c)) : Format("\\'%02x", c);
    return out;
}

} // namespace

std::string SampleMemoRtf(int number, bool korean, size_t size)
{
    std::string rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
        "{\\f1\\froman\\fcharset0 Times New Roman;}{\\f2\\fmodern\\fcharset129 " +
        KoreanEscapes(L"돋움체") +
        ";}{\\f3\\fnil\\fcharset2 Symbol;}}\r\n"
        "{\\colortbl ;\\red192\\green0\\blue0;\\red0\\green96\\blue160;\\red0\\green128\\blue0;}\r\n"
        "\\viewkind4\\uc1\\pard\\qc\\b\\f0\\fs28 " +
        Format("Memo %d", number) + "\\b0\\fs20\\par\r\n\\pard ";
    const std::string line = korean ? "\\f2 " + KoreanEscapes(L"오늘 회의에서 정한 일: 보고서 정리와 일정 확인.") + " "
                                    : "\\f0 Things to do today: tidy the report, check the plan. ";
    for (int i = 0; rtf.size() + 200 < size; ++i) {
        switch (i % 4) {
        case 0: rtf += "\\cf1\\b " + line + "\\b0\\cf0\\par\r\n"; break;
        case 1: rtf += "\\f1\\fs24\\i " + line + "\\i0\\fs20\\par\r\n"; break;
        case 2:
            rtf += "{\\pntext\\f3\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf3\\pnindent0{\\pntxtb\\'b7}}\\fi-200\\li200 \\cf2 " +
                   line + "\\cf0\\par\r\n\\pard ";
            break;
        default: rtf += "\\ul\\cf3 " + line + "\\ulnone\\cf0  http://example.com/" + IntToStr(i) + "\\par\r\n";
        }
    }
    return rtf + "}\r\n";
}

void WriteMemoFolder(const std::string& folder, int count, int screenWidth, int screenHeight)
{
    // Written as text at once: the profile functions rewrite the whole file at
    // every key, which for a thousand memos takes longer than the benchmark.
    std::string index;
    const int columns = std::max(1, (screenWidth - 300) / 40);
    for (int n = 1; n <= count; ++n) {
        const std::string section = IntToStr(n);
        const bool korean = n % 10 == 0;
        const int slot = (n - 1) % (columns * 10);
        index += "[" + section + "]\r\n";
        index += Format("Left=%d\r\nTop=%d\r\nWidth=260\r\nHeight=200\r\n", 20 + (slot % columns) * 40,
                        20 + (slot / columns) * std::max(1, (screenHeight - 260) / 10));
        index += "Caption=" + (korean ? WideToAnsi(L"회의 메모 ") + section : "Note " + section) + "\r\n";
        std::ofstream(folder + Format("%03d.txt", n), std::ios::binary) << SampleMemoRtf(n, korean);
    }
    std::ofstream(folder + "zkPostIt.ini", std::ios::binary) << index;
}
