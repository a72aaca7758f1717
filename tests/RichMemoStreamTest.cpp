#include "controls/RichMemo.h"
#include "framework/Application.h"
#include "framework/Forms.h"
#include "framework/SysUtils.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

namespace {

// Hands out the stream a few bytes at a time, so that every chunk boundary falls
// somewhere awkward (between CR and LF, right after a lone CR...).
class TrickleConversion : public TConversion {
public:
    explicit TrickleConversion(int step) : step_(step) {}
    int ConvertReadStream(TStream& stream, char* buffer, int size) override
    {
        return TConversion::ConvertReadStream(stream, buffer, std::min(size, step_));
    }

private:
    int step_;
};

class FailingConversion : public TConversion {
public:
    int ConvertReadStream(TStream&, char*, int) override { throw EStreamError("disk gone"); }
    int ConvertWriteStream(TStream&, const char*, int) override { throw EStreamError("disk full"); }
};

class RichMemoStreamTest : public testing::Test {
protected:
    void SetUp() override
    {
        form = Application.CreateForm<TForm>();
        form->SetClientSize(400, 300);
        memo = NewMemo();
        form->Show();
        PumpMessages();
    }
    void TearDown() override { Application.DestroyForm(form); }

    TRichMemo* NewMemo()
    {
        auto* m = form->Create<TRichMemo>();
        m->SetParent(form);
        m->SetBounds(0, 0, 400, 300);
        return m;
    }
    std::string Path(const std::string& name) const { return folder.Path() + name; }
    void LoadBytes(TRichMemo* target, const std::string& bytes)
    {
        WriteWholeFile(Path("in.txt"), bytes);
        target->Lines().LoadFromFile(Path("in.txt"));
    }
    CHARFORMAT2A CharFormatAt(TRichMemo* m, int start, int end)
    {
        m->SelectRange(start, end, false);
        CHARFORMAT2A format{};
        format.cbSize = sizeof(format);
        SendMessageA(m->Handle(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        return format;
    }
    PARAFORMAT2 ParaFormatAt(TRichMemo* m, int at)
    {
        m->SelectRange(at, at, false);
        PARAFORMAT2 format{};
        format.cbSize = sizeof(format);
        SendMessageA(m->Handle(), EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
        return format;
    }

    TempFolder folder;
    TForm* form = nullptr;
    TRichMemo* memo = nullptr;
};

TEST_F(RichMemoStreamTest, PlainTextFileLoadsAsTextAndIsSavedBackAsRichText)
{
    LoadBytes(memo, "one\r\ntwo\nthree\rfour");
    EXPECT_EQ(TStreamFormat::sfRichText, memo->Lines().StreamFormat);
    EXPECT_EQ((std::vector<std::string>{"one", "two", "three", "four"}), memo->Lines().ToVector());
    EXPECT_EQ(0, memo->SelStart()) << "the caret starts at the top";

    memo->Lines().StreamFormat = TStreamFormat::sfPlainText;
    memo->Lines().SaveToFile(Path("out.txt"));
    EXPECT_EQ(TStreamFormat::sfRichText, memo->Lines().StreamFormat);
    const std::string saved = ReadWholeFile(Path("out.txt"));
    EXPECT_EQ(0u, saved.rfind("{\\rtf", 0)) << saved.substr(0, 40);

    TRichMemo* other = NewMemo();
    other->Lines().LoadFromFile(Path("out.txt"));
    EXPECT_EQ(memo->Lines().ToVector(), other->Lines().ToVector());
}

TEST_F(RichMemoStreamTest, LineBreaksSurviveEveryChunkBoundary)
{
    const std::string text = "a\r\nb\rc\nd\r\r\ne\r";
    for (int step : {1, 2, 3}) {
        memo->Lines().Converter = std::make_unique<TrickleConversion>(step);
        TMemoryStream stream;
        stream.Write(text.data(), static_cast<long>(text.size()));
        stream.SetPosition(0);
        memo->Lines().StreamFormat = TStreamFormat::sfPlainText;
        memo->Lines().LoadFromStream(stream);
        EXPECT_EQ((std::vector<std::string>{"a", "b", "c", "d", "", "e"}), memo->Lines().ToVector())
            << "chunks of " << step;
    }
    // Rich text read a byte at a time.
    memo->Lines().Converter = std::make_unique<TrickleConversion>(1);
    LoadBytes(memo, "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 x\\par\r\ny\\b z\\b0\\par\n}");
    EXPECT_EQ((std::vector<std::string>{"x", "yz"}), memo->Lines().ToVector());
    EXPECT_EQ(static_cast<TFontStyles>(fsBold), (memo->SelectRange(3, 4, false), memo->SelectionFormat().Style()));
}

TEST_F(RichMemoStreamTest, RichTextComesBackWithItsFormatting)
{
    const bool korean = GetACP() == 949;
    const std::string koreanText = korean ? WideToAnsi(L"\uD55C\uAE00 \uBA54\uBAA8") : "";
    TRichEditStrings& lines = memo->Lines();
    lines.SetText("Bold italic\rUnder strike\rBullet\r" + (korean ? koreanText : std::string("plain")));
    const std::vector<std::string> text = lines.ToVector();

    memo->SelectRange(0, 11, false);
    memo->SelectionFormat().SetName("Arial");
    memo->SelectionFormat().SetSize(14);
    memo->SelectionFormat().SetStyle(fsBold | fsItalic);
    memo->SelectionFormat().SetColor(clRed);
    memo->SelectRange(12, 24, false);
    memo->SelectionFormat().SetName("Courier New");
    memo->SelectionFormat().SetSize(10);
    memo->SelectionFormat().SetStyle(fsUnderline | fsStrikeOut);
    memo->SelectionFormat().SetColor(clBlue);
    memo->ParagraphFormat().SetParaAlignment(TParaAlignment::paCenter);
    memo->SelectRange(25, 25, false);
    memo->ParagraphFormat().SetBulletStyle(nsBullet);
    memo->ParagraphFormat().SetParaAlignment(TParaAlignment::paRight);
    if (korean) {
        memo->SelectRange(32, 37, false);
        memo->SelectionFormat().SetName(WideToAnsi(L"\uB3CB\uC6C0\uCCB4"));
        memo->SelectionFormat().SetCharset(HANGEUL_CHARSET);
    }
    memo->Lines().SaveToFile(Path("rich.txt"));

    TRichMemo* copy = NewMemo();
    copy->Lines().LoadFromFile(Path("rich.txt"));
    EXPECT_EQ(text, copy->Lines().ToVector());

    const CHARFORMAT2A first = CharFormatAt(copy, 0, 11);
    EXPECT_STREQ("Arial", first.szFaceName);
    EXPECT_EQ(280, first.yHeight);
    EXPECT_EQ(static_cast<DWORD>(CFE_BOLD | CFE_ITALIC), first.dwEffects & 0xF);
    EXPECT_EQ(RGB(255, 0, 0), first.crTextColor);
    const CHARFORMAT2A second = CharFormatAt(copy, 12, 24);
    EXPECT_STREQ("Courier New", second.szFaceName);
    EXPECT_EQ(200, second.yHeight);
    EXPECT_EQ(static_cast<DWORD>(CFE_UNDERLINE | CFE_STRIKEOUT), second.dwEffects & 0xF);
    EXPECT_EQ(RGB(0, 0, 255), second.crTextColor);
    EXPECT_EQ(PFA_LEFT, ParaFormatAt(copy, 0).wAlignment);
    EXPECT_EQ(PFA_CENTER, ParaFormatAt(copy, 12).wAlignment);
    const PARAFORMAT2 bullet = ParaFormatAt(copy, 25);
    EXPECT_EQ(PFN_BULLET, bullet.wNumbering);
    EXPECT_EQ(PFA_RIGHT, bullet.wAlignment);
    // Wine's writer turns the hanging indent into a start indent: the text keeps its place.
    EXPECT_EQ(200, bullet.dxStartIndent + bullet.dxOffset);
    EXPECT_EQ(0, ParaFormatAt(copy, 32).wNumbering);
    if (korean) {
        copy->SelectRange(32, 37, false);
        EXPECT_EQ(koreanText, copy->SelText());
        EXPECT_EQ(WideToAnsi(L"\uB3CB\uC6C0\uCCB4"), copy->SelectionFormat().Name());
        EXPECT_EQ(HANGEUL_CHARSET, copy->SelectionFormat().Charset());
    }

    // Saved again, the same document.
    copy->Lines().SaveToFile(Path("again.txt"));
    TRichMemo* third = NewMemo();
    third->Lines().LoadFromFile(Path("again.txt"));
    EXPECT_EQ(text, third->Lines().ToVector());
    EXPECT_EQ(static_cast<DWORD>(CFE_UNDERLINE | CFE_STRIKEOUT), CharFormatAt(third, 12, 24).dwEffects & 0xF);
}

TEST_F(RichMemoStreamTest, DamagedBinaryAndEmptyFilesLoadAsSomethingSensible)
{
    memo->Lines().SetText("The quick brown fox\rjumps over the lazy dog\rand runs away");
    memo->SelectRange(4, 9, false);
    memo->SelectionFormat().SetStyle(fsBold);
    memo->Lines().SaveToFile(Path("whole.txt"));
    const std::string whole = ReadWholeFile(Path("whole.txt"));
    ASSERT_GT(whole.size(), 100u);

    // Cut in the middle of the text: what was read so far stays, nothing is thrown.
    const size_t cut = whole.find("lazy");
    ASSERT_NE(std::string::npos, cut);
    LoadBytes(memo, whole.substr(0, cut));
    EXPECT_EQ("The quick brown fox", memo->Lines()[0]);
    EXPECT_LE(memo->Lines().Count(), 2);

    LoadBytes(memo, whole.substr(0, 8));
    EXPECT_LE(memo->Lines().Count(), 1);

    LoadBytes(memo, "{\\rtf1\\ansi}}}}{{{\\\\\\bin99999999 \\u-70000?\\'zz\\fonttbl{\\f99;}}\\f99\\fs-40 ok\\par");
    EXPECT_LE(memo->Lines().Count(), 3);

    std::string deep = "{\\rtf1 ";
    deep += std::string(20000, '{') + "deep" + std::string(20000, '}') + "}";
    LoadBytes(memo, deep);
    EXPECT_LE(memo->Lines().Count(), 1);

    std::string binary;
    for (int i = 0; i < 8192; ++i)
        binary += static_cast<char>((i * 7) & 0xFF);
    LoadBytes(memo, binary);
    EXPECT_GT(memo->Lines().Count(), 0) << "a binary file shows as text";
    EXPECT_EQ(std::string::npos, memo->Lines().Text().find('\0'));

    LoadBytes(memo, "text\0after a zero"s);
    EXPECT_EQ("textafter a zero", memo->Lines()[0]) << "zero bytes are dropped, the rest is kept";

    LoadBytes(memo, "");
    EXPECT_EQ(0, memo->Lines().Count());
    EXPECT_EQ("", memo->Lines().Text());
}

TEST_F(RichMemoStreamTest, FailuresAreReportedAndASaveThatFailsLeavesTheFile)
{
    memo->Lines().SetText("keep me");
    memo->Lines().Converter = std::make_unique<FailingConversion>();
    TMemoryStream stream;
    stream.Write("abc", 3);
    stream.SetPosition(0);
    try {
        memo->Lines().LoadFromStream(stream);
        ADD_FAILURE() << "no error";
    } catch (const EStreamError& e) {
        EXPECT_STREQ("Failed to Load Stream", e.what());
    }
    try {
        memo->Lines().SaveToStream(stream);
        ADD_FAILURE() << "no error";
    } catch (const EStreamError& e) {
        EXPECT_STREQ("Failed to Save Stream", e.what());
    }
    WriteWholeFile(Path("memo.txt"), "previous content");
    EXPECT_THROW(memo->Lines().SaveToFile(Path("memo.txt")), EStreamError);
    EXPECT_EQ("previous content", ReadWholeFile(Path("memo.txt")));

    memo->Lines().Converter.reset();
    try {
        memo->Lines().LoadFromFile(Path("missing.txt"));
        ADD_FAILURE() << "no error";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(0u, std::string(e.what()).rfind("Cannot open file \"" + Path("missing.txt") + "\"", 0)) << e.what();
    }
}

TEST_F(RichMemoStreamTest, ReCreatingTheWindowKeepsContentFormattingCaretAndModifiedFlag)
{
    memo->Lines().SetText("first line\rsecond line");
    memo->SelectRange(0, 5, false);
    memo->SelectionFormat().SetStyle(fsItalic);
    memo->SelectionFormat().SetColor(clRed);
    memo->SelectRange(11, 11, false);
    memo->ParagraphFormat().SetParaAlignment(TParaAlignment::paCenter);
    memo->SelectRange(8, 8, false);
    for (bool modified : {true, false}) {
        memo->SetModified(modified);
        const HWND before = memo->Handle();
        memo->SetWordWrap(!memo->WordWrap());
        EXPECT_NE(before, memo->Handle());
        memo->SetWordWrap(!memo->WordWrap());
        EXPECT_TRUE(memo->WordWrap());
        EXPECT_EQ(modified, memo->Modified());
        EXPECT_EQ((std::vector<std::string>{"first line", "second line"}), memo->Lines().ToVector());
        EXPECT_EQ(0, memo->SelStart());
        EXPECT_EQ(0, memo->SelLength());
        const CHARFORMAT2A styled = CharFormatAt(memo, 0, 5);
        EXPECT_EQ(static_cast<DWORD>(CFE_ITALIC), styled.dwEffects & 0xF);
        EXPECT_EQ(RGB(255, 0, 0), styled.crTextColor);
        EXPECT_EQ(0u, CharFormatAt(memo, 6, 10).dwEffects & CFE_ITALIC);
        EXPECT_EQ(PFA_CENTER, ParaFormatAt(memo, 11).wAlignment);
    }
    // Even a line list left in a selection mode re-creates the whole document.
    memo->SelectRange(0, 3, false);
    memo->Lines().StreamMode = smSelection;
    memo->SetSelectionBar(false);
    memo->Lines().StreamMode = 0;
    EXPECT_EQ((std::vector<std::string>{"first line", "second line"}), memo->Lines().ToVector());
}

TEST_F(RichMemoStreamTest, LinkClicksNeedPressAndReleaseOnTheSameLink)
{
    memo->Lines().SetText("see http://one.example.com/ and http://two.example.com/ ok");
    PumpMessages();
    const std::string text = memo->Lines()[0];
    const int first = static_cast<int>(text.find("http://one"));
    const int second = static_cast<int>(text.find("http://two"));
    ASSERT_TRUE(CharFormatAt(memo, first + 3, first + 4).dwEffects & CFE_LINK) << "the platform detects links";
    auto point = [&](int index) {
        POINTL p{};
        SendMessageA(memo->Handle(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&p), index);
        return MAKELPARAM(p.x + 2, p.y + 4);
    };
    std::vector<std::pair<std::wstring, TMouseButton>> clicks;
    memo->OnURLClick = [&](TCustomRichMemo&, const std::wstring& url, TMouseButton button) {
        clicks.emplace_back(url, button);
    };
    auto click = [&](UINT down, UINT up, int pressAt, int releaseAt) {
        SendMessageA(memo->Handle(), down, down == WM_LBUTTONDOWN ? MK_LBUTTON : MK_RBUTTON, point(pressAt));
        SendMessageA(memo->Handle(), up, 0, point(releaseAt));
        PumpMessages();
    };

    click(WM_LBUTTONDOWN, WM_LBUTTONUP, first + 5, first + 9);
    ASSERT_EQ(1u, clicks.size());
    EXPECT_EQ(L"http://one.example.com/", clicks[0].first);
    EXPECT_EQ(TMouseButton::mbLeft, clicks[0].second);

    click(WM_LBUTTONDOWN, WM_LBUTTONUP, first + 5, second + 5);
    EXPECT_EQ(1u, clicks.size()) << "press on one link, release on another";

    click(WM_RBUTTONDOWN, WM_RBUTTONUP, second + 5, second + 6);
    ASSERT_EQ(2u, clicks.size());
    EXPECT_EQ(L"http://two.example.com/", clicks[1].first);
    EXPECT_EQ(TMouseButton::mbRight, clicks[1].second);

    // Pressed on a link, released off it; then pressed off it and released on it.
    click(WM_LBUTTONDOWN, WM_LBUTTONUP, first + 5, 1);
    click(WM_LBUTTONDOWN, WM_LBUTTONUP, 1, first + 5);
    EXPECT_EQ(2u, clicks.size());
}

TEST_F(RichMemoStreamTest, EmbeddedObjectsLoadSaveAndClose)
{
    // A picture is an embedded object to the platform.
    const std::string rtf =
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 before "
        "{\\pict\\wmetafile8\\picw100\\pich100\\picwgoal300\\pichgoal300 "
        "0100090000035000000000002700000000000400000003010800050000000b0200000000050000000c02640064000400"
        "00002d0100000500000014020000000005000000130264006400030000000000}"
        " after\\par}";
    WriteWholeFile(Path("object.txt"), rtf);
    memo->Lines().LoadFromFile(Path("object.txt"));
    ComPtr<IRichEditOle> ole;
    SendMessageA(memo->Handle(), EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(ole.put()));
    ASSERT_TRUE(ole);
    ASSERT_EQ(1, ole->GetObjectCount());

    memo->Lines().SaveToFile(Path("saved.txt"));
    TRichMemo* copy = NewMemo();
    copy->Lines().LoadFromFile(Path("saved.txt"));
    ComPtr<IRichEditOle> copyOle;
    SendMessageA(copy->Handle(), EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(copyOle.put()));
    EXPECT_EQ(1, copyOle->GetObjectCount());
    EXPECT_EQ(memo->Lines().Text(), copy->Lines().Text());

    // Re-creation keeps the object too.
    copy->SetWordWrap(false);
    copyOle.reset();
    SendMessageA(copy->Handle(), EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(copyOle.put()));
    EXPECT_EQ(1, copyOle->GetObjectCount());

    memo->Clear();
    EXPECT_EQ(0, ole->GetObjectCount());
    EXPECT_FALSE(memo->Modified());
}

TEST(RichEditOleCallback, AnswersThePlatform)
{
    TRichEditOleCallback callback;
    ComPtr<IStorage> storage;
    ASSERT_EQ(S_OK, callback.GetNewStorage(storage.put()));
    ASSERT_TRUE(storage);
    ComPtr<IStream> stream;
    EXPECT_EQ(S_OK, storage->CreateStream(L"probe", STGM_SHARE_EXCLUSIVE | STGM_READWRITE | STGM_CREATE, 0, 0,
                                          stream.put()));
    IOleInPlaceFrame* frame = reinterpret_cast<IOleInPlaceFrame*>(1);
    IOleInPlaceUIWindow* doc = reinterpret_cast<IOleInPlaceUIWindow*>(1);
    OLEINPLACEFRAMEINFO info{};
    EXPECT_EQ(E_NOTIMPL, callback.GetInPlaceContext(&frame, &doc, &info));
    EXPECT_EQ(nullptr, frame);
    EXPECT_EQ(nullptr, doc);
    EXPECT_EQ(E_NOTIMPL, callback.ShowContainerUI(FALSE));
    EXPECT_EQ(E_FAIL, callback.QueryInsertObject(nullptr, nullptr, 0));
    EXPECT_EQ(E_INVALIDARG, callback.QueryAcceptData(nullptr, nullptr, 0, TRUE, nullptr));
    IDataObject* data = reinterpret_cast<IDataObject*>(1);
    EXPECT_EQ(E_NOTIMPL, callback.GetClipboardData(nullptr, 0, &data));
    EXPECT_EQ(nullptr, data);
    IUnknown* unknown = nullptr;
    EXPECT_EQ(S_OK, callback.QueryInterface(IID_IRichEditOleCallback, reinterpret_cast<void**>(&unknown)));
    EXPECT_EQ(1u, callback.RefCount());
    unknown->Release();
    EXPECT_EQ(0u, callback.RefCount());
}

} // namespace
