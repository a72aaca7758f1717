// The least any note program has to do to show the memos of its folder: for each
// memo one borderless window with a rich edit, the memo's RTF streamed in, the
// window put into the desktop's icon view and shown. Nothing else: no frame, no
// menus, no settings. The program benchmark starts it in a folder of memos beside
// pinova.exe and compares the two. Not a test; written against the platform alone
// so that none of our own code is in the figure.
//     pinova_floor.exe     (reads zkPostIt.ini and 001.txt... beside itself)
#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Note {
    int number = 0;
    RECT place{300, 200, 600, 400};
    HWND window = nullptr;
};

std::string ProgramFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.rfind('\\') + 1);
}

std::string ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The index as a note program reads it, in one go: numbered sections with a place.
std::vector<Note> ReadIndex(const std::string& text)
{
    std::vector<Note> notes;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.size() > 2 && line.front() == '[' && line.back() == ']') {
            notes.push_back({std::atoi(line.c_str() + 1)});
            continue;
        }
        const size_t equals = line.find('=');
        if (notes.empty() || equals == std::string::npos)
            continue;
        const std::string key = line.substr(0, equals);
        const int value = std::atoi(line.c_str() + equals + 1);
        RECT& r = notes.back().place;
        if (key == "Left")
            OffsetRect(&r, value - r.left, 0);
        else if (key == "Top")
            OffsetRect(&r, 0, value - r.top);
        else if (key == "Width")
            r.right = r.left + value;
        else if (key == "Height")
            r.bottom = r.top + value;
    }
    return notes;
}

struct StreamSource {
    const std::string* bytes;
    size_t done = 0;
};

DWORD CALLBACK ReadChunk(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* read)
{
    auto* source = reinterpret_cast<StreamSource*>(cookie);
    const size_t count = std::min(source->bytes->size() - source->done, static_cast<size_t>(size));
    std::memcpy(buffer, source->bytes->data() + source->done, count);
    source->done += count;
    *read = static_cast<LONG>(count);
    return 0;
}

void StreamIn(HWND editor, const std::string& rtf)
{
    StreamSource source{&rtf};
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&source), 0, ReadChunk};
    SendMessageA(editor, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
}

LRESULT CALLBACK NoteProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

HWND DesktopIconView()
{
    HWND progman = FindWindowA("Progman", nullptr);
    HWND view = progman ? GetWindow(progman, GW_CHILD) : nullptr;
    return view ? GetWindow(view, GW_CHILD) : nullptr;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    if (!LoadLibraryA("RICHED20.DLL"))
        return 1;
    WNDCLASSA wc{};
    wc.lpfnWndProc = NoteProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "FloorNote";
    RegisterClassA(&wc);

    const std::string folder = ProgramFolder();
    std::vector<Note> notes = ReadIndex(ReadFileBytes(folder + "zkPostIt.ini"));
    // Made first and put on the desktop after, the order that is cheapest under Wine.
    for (Note& note : notes) {
        const RECT& r = note.place;
        note.window = CreateWindowExA(WS_EX_TOOLWINDOW, "FloorNote", "", WS_POPUP | WS_CLIPCHILDREN, r.left, r.top,
                                      r.right - r.left, r.bottom - r.top, nullptr, nullptr, instance, nullptr);
        HWND editor = CreateWindowExW(0, L"RichEdit20W", L"",
                                      WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
                                      0, 18, r.right - r.left, r.bottom - r.top - 18, note.window, nullptr, instance,
                                      nullptr);
        char name[16];
        wsprintfA(name, "%03d.txt", note.number);
        StreamIn(editor, ReadFileBytes(folder + name));
    }
    HWND icons = DesktopIconView();
    for (const Note& note : notes) {
        SetParent(note.window, icons);
        ShowWindow(note.window, SW_SHOWNA);
    }
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
