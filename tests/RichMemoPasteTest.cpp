#include "controls/RichMemo.h"
#include "controls/RtfObjects.h"
#include "framework/Application.h"
#include "framework/Forms.h"
#include "tests/RichMemoOnForm.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstring>
#include <utility>
#include <vector>

namespace {

// A one-inch square picture (a rectangle) as a placeable-less Windows metafile.
const char kMetafileHex[] =
    "0100090000035000000000002700000000000400000003010800050000000b0200000000050000000c02640064000400"
    "00002d0100000500000014020000000005000000130264006400030000000000";

// An embedded package (a program that a double click would run) and the picture
// it shows, between two words of text.
std::string DocumentWithPackage()
{
    return std::string("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 before "
                       "{\\object\\objemb{\\*\\objclass Package}\\objw300\\objh300"
                       "{\\*\\objdata 01050000020000000800000050616b6167650000000000000000000400000063616c6300}"
                       "{\\result {\\pict\\wmetafile8\\picw100\\pich100\\picwgoal300\\pichgoal300 ") +
           kMetafileHex + "}}} after\\par}";
}

HGLOBAL GlobalBytes(const std::string& bytes)
{
    HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE, bytes.size() + 1);
    char* p = static_cast<char*>(GlobalLock(global));
    std::memcpy(p, bytes.c_str(), bytes.size() + 1);
    GlobalUnlock(global);
    return global;
}

// Whatever was on the clipboard goes; these formats take its place.
void PutOnClipboard(HWND owner, const std::vector<std::pair<UINT, HANDLE>>& formats)
{
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    for (const auto& [format, data] : formats)
        SetClipboardData(format, data);
    CloseClipboard();
}

HANDLE DroppedFile(const std::string& path)
{
    std::string bytes(sizeof(DROPFILES), '\0');
    auto* header = reinterpret_cast<DROPFILES*>(bytes.data());
    header->pFiles = sizeof(DROPFILES);
    bytes += path + '\0';
    return GlobalBytes(bytes);
}

HBITMAP RedSquare()
{
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all{0, 0, 16, 16};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(dc, &all, red);
    DeleteObject(red);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

class RichMemoPasteTest : public RichMemoOnForm {
protected:
    static ComPtr<IRichEditOle> Ole(TRichMemo* m)
    {
        ComPtr<IRichEditOle> ole;
        SendMessageA(m->Handle(), EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(ole.put()));
        return ole;
    }
    // The classes of the editor's objects.
    static std::vector<CLSID> Objects(TRichMemo* m)
    {
        std::vector<CLSID> classes;
        ComPtr<IRichEditOle> ole = Ole(m);
        for (LONG i = 0; ole && i < ole->GetObjectCount(); ++i) {
            REOBJECT object{};
            object.cbStruct = sizeof(object);
            if (SUCCEEDED(ole->GetObject(i, &object, REO_GETOBJ_NO_INTERFACES)))
                classes.push_back(object.clsid);
        }
        return classes;
    }
    static bool OnlyPictures(const std::vector<CLSID>& classes)
    {
        for (const CLSID& c : classes)
            if (!IsEqualCLSID(c, CLSID_StaticMetafile) && !IsEqualCLSID(c, CLSID_StaticDib) &&
                !IsEqualCLSID(c, CLSID_Picture_EnhMetafile) && !IsEqualCLSID(c, CLSID_NULL))
                return false;
        return true;
    }
    static std::string Saved(TRichMemo* m)
    {
        TMemoryStream stream;
        m->Lines().SaveToStream(stream);
        return stream.DataString();
    }
    std::string Path(const std::string& name) const { return folder.Path() + name; }

    TempFolder folder;
};

TEST_F(RichMemoPasteTest, PastedObjectsLeaveTheirTextAndPictureButAreNeverMade)
{
    PutOnClipboard(form->Handle(), {{ClipboardFormat("Rich Text Format"), GlobalBytes(DocumentWithPackage())},
                                    {ClipboardFormat("Embedded Object"), GlobalBytes("not really a storage")},
                                    {ClipboardFormat("Object Descriptor"), GlobalBytes("descriptor")},
                                    {CF_TEXT, GlobalBytes("before after")}});
    memo->PasteFromClipboard();
    PumpMessages();
    EXPECT_NE(std::string::npos, memo->Lines().Text().find("before")) << memo->Lines().Text();
    EXPECT_NE(std::string::npos, memo->Lines().Text().find("after")) << memo->Lines().Text();
    EXPECT_TRUE(OnlyPictures(Objects(memo)));
    const std::string saved = Saved(memo);
    EXPECT_EQ(std::string::npos, saved.find("objdata")) << saved;
    EXPECT_EQ(std::string::npos, saved.find("Package")) << saved;

    // The callback's own answers, whether or not the platform asks it on a paste.
    ComPtr<IDataObject> data;
    ASSERT_EQ(S_OK, OleGetClipboard(data.put()));
    TRichMemo* target = NewMemo();
    TRichEditOleCallback callback(target);
    CLIPFORMAT format = 0;
    EXPECT_EQ(S_OK, callback.QueryAcceptData(data.get(), &format, RECO_PASTE, FALSE, nullptr));
    EXPECT_EQ(ClipboardFormat("Rich Text Format"), format);
    format = 0;
    EXPECT_EQ(S_FALSE, callback.QueryAcceptData(data.get(), &format, RECO_DROP, TRUE, nullptr))
        << "brought in by the callback";
    EXPECT_NE(std::string::npos, target->Lines().Text().find("after")) << target->Lines().Text();
    EXPECT_TRUE(target->Modified());
    EXPECT_TRUE(OnlyPictures(Objects(target)));
    EXPECT_EQ(std::string::npos, Saved(target).find("objdata"));
    format = ClipboardFormat("Embedded Object");
    EXPECT_EQ(E_FAIL, callback.QueryAcceptData(data.get(), &format, RECO_PASTE, TRUE, nullptr));

    // A read-only editor takes nothing, and a callback without an editor no rich text.
    target->SetReadOnly(true);
    format = 0;
    EXPECT_EQ(E_FAIL, callback.QueryAcceptData(data.get(), &format, RECO_PASTE, TRUE, nullptr));
    format = 0;
    EXPECT_EQ(E_FAIL, TRichEditOleCallback().QueryAcceptData(data.get(), &format, RECO_PASTE, TRUE, nullptr));
}

TEST_F(RichMemoPasteTest, ObjectsAndFilesAloneAreRefused)
{
    memo->Lines().SetText("keep");
    TRichEditOleCallback callback(memo);
    const std::vector<std::vector<std::pair<UINT, HANDLE>>> clipboards = {
        {{ClipboardFormat("Embedded Object"), GlobalBytes("storage")}, {ClipboardFormat("Object Descriptor"), GlobalBytes("d")}},
        {{ClipboardFormat("Link Source"), GlobalBytes("moniker")}, {ClipboardFormat("Link Source Descriptor"), GlobalBytes("d")}},
        {{CF_HDROP, DroppedFile("C:\\Downloads\\setup.exe")}},
    };
    for (size_t i = 0; i < clipboards.size(); ++i) {
        PutOnClipboard(form->Handle(), clipboards[i]);
        memo->SelectRange(4, 4, false);
        memo->PasteFromClipboard();
        PumpMessages();
        EXPECT_EQ("keep", memo->Lines().Text()) << "clipboard " << i;
        EXPECT_TRUE(Objects(memo).empty()) << "clipboard " << i;
        ComPtr<IDataObject> data;
        ASSERT_EQ(S_OK, OleGetClipboard(data.put()));
        CLIPFORMAT format = 0;
        EXPECT_EQ(E_FAIL, callback.QueryAcceptData(data.get(), &format, RECO_DROP, FALSE, nullptr)) << i;
    }
    // Only static pictures are made; a link is never dropped.
    CLSID package{};
    CLSIDFromProgID(L"Package", &package);
    EXPECT_EQ(E_FAIL, callback.QueryInsertObject(&package, nullptr, 0));
    EXPECT_EQ(E_FAIL, callback.QueryInsertObject(nullptr, nullptr, 0));
    CLSID picture = CLSID_StaticDib;
    EXPECT_EQ(S_OK, callback.QueryInsertObject(&picture, nullptr, 0));
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    EXPECT_EQ(S_OK, callback.GetDragDropEffect(FALSE, 0, &effect));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY | DROPEFFECT_MOVE), effect);
}

TEST_F(RichMemoPasteTest, PastedBitmapIsAPictureThatComesBackFromItsFile)
{
    memo->Lines().SetText("x");
    memo->SelectRange(1, 1, false);
    PutOnClipboard(form->Handle(), {{CF_BITMAP, RedSquare()}});
    memo->PasteFromClipboard();
    PumpMessages();
    ASSERT_EQ(1u, Objects(memo).size());
    EXPECT_TRUE(OnlyPictures(Objects(memo)));
    memo->Lines().SaveToFile(Path("picture.txt"));
    EXPECT_TRUE(RtfHoldsPicture(ReadWholeFile(Path("picture.txt"))));

    TRichMemo* copy = NewMemo();
    copy->Lines().LoadFromFile(Path("picture.txt"));
    EXPECT_EQ(1u, Objects(copy).size());
    EXPECT_EQ("x", copy->Lines().Text().substr(0, 1));
}

TEST_F(RichMemoPasteTest, DocumentWithObjectDataLoadsItsTextAndPictureOnly)
{
    WriteWholeFile(Path("package.txt"), DocumentWithPackage());
    memo->Lines().LoadFromFile(Path("package.txt"));
    EXPECT_NE(std::string::npos, memo->Lines().Text().find("before"));
    EXPECT_NE(std::string::npos, memo->Lines().Text().find("after"));
    const std::vector<CLSID> objects = Objects(memo);
    EXPECT_EQ(1u, objects.size()) << "the object's picture";
    EXPECT_TRUE(OnlyPictures(objects));
    const std::string saved = Saved(memo);
    EXPECT_TRUE(RtfHoldsPicture(saved)) << saved;
    EXPECT_EQ(std::string::npos, saved.find("objdata")) << saved;
}

} // namespace

namespace {

// A 4 x 4 PNG image, blue-ish.
std::string PngBytes()
{
    const std::string hex = "89504e470d0a1a0a0000000d4948445200000004000000040802000000269309290000000f49444154789c6360"
                            "68f88f40c471005ec217f1547514840000000049454e44ae426082";
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

TEST_F(RichMemoPasteTest, ImagesAndDroppedImageFilesBecomePictures)
{
    // HGLOBAL bytes without the terminating zero that GlobalBytes adds do no harm to a PNG.
    PutOnClipboard(form->Handle(), {{ClipboardFormat("PNG"), GlobalBytes(PngBytes())}});
    memo->PasteFromClipboard();
    PumpMessages();
    EXPECT_EQ(1u, Objects(memo).size()) << "a PNG image";
    EXPECT_TRUE(RtfHoldsPicture(Saved(memo)));

    WriteWholeFile(Path("shot.PNG"), PngBytes());
    WriteWholeFile(Path("shot.exe"), PngBytes());
    TRichMemo* target = NewMemo();
    TRichEditOleCallback callback(target);
    PutOnClipboard(form->Handle(), {{CF_HDROP, DroppedFile(Path("shot.exe"))}});
    ComPtr<IDataObject> data;
    ASSERT_EQ(S_OK, OleGetClipboard(data.put()));
    CLIPFORMAT format = 0;
    EXPECT_EQ(E_FAIL, callback.QueryAcceptData(data.get(), &format, RECO_DROP, TRUE, nullptr)) << "not an image file";
    PutOnClipboard(form->Handle(), {{CF_HDROP, DroppedFile(Path("shot.PNG"))}});
    data.reset();
    ASSERT_EQ(S_OK, OleGetClipboard(data.put()));
    format = 0;
    EXPECT_EQ(S_FALSE, callback.QueryAcceptData(data.get(), &format, RECO_DROP, TRUE, nullptr));
    EXPECT_EQ(1u, Objects(target).size()) << "a dropped image file";
}

} // namespace
