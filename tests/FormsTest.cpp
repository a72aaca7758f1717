#include "framework/Application.h"
#include "framework/CallbackError.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "framework/SysUtils.h"
#include "framework/Timer.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <functional>

namespace {

constexpr UINT WM_TEST_FAIL = WM_APP + 1;

class TfrmTest : public TForm {
public:
    explicit TfrmTest(TComponent* owner) : TForm(owner) {}

    int created = 0;
    bool writeFails = true;  // a run-time choice: the statement after the throw stays reachable
    bool afterThrow = false;
    bool refuseClose = false;
    int closeQueries = 0;
    std::vector<WORD> keys;

    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == WM_TEST_FAIL) {
            if (writeFails)
                throw EIniFileException(Format("Unable to write to %s", "C:\\x.ini"));
            afterThrow = true;
        }
        return TForm::WndProc(msg, wParam, lParam);
    }

protected:
    void FormCreate() override { created++; }
    void FormCloseQuery(bool& canClose) override
    {
        closeQueries++;
        canClose = !refuseClose;
    }
    void FormKeyDown(WORD& key, TShiftState) override
    {
        keys.push_back(key);
        if (key == VK_ESCAPE)
            key = 0;
    }
};

// Frees the form at the end of the test.
template <typename T>
struct Owned {
    T* form;
    Owned() : form(Application.CreateForm<T>()) {}
    ~Owned() { Application.DestroyForm(form); }
    T* operator->() const { return form; }
};

// Closes the error box shown by this thread, noting its caption and text.
struct BoxCloser {
    static inline std::string caption, text;
    static BOOL CALLBACK Find(HWND wnd, LPARAM)
    {
        char cls[32] = {};
        GetClassNameA(wnd, cls, sizeof(cls));
        if (std::string(cls) != "#32770")
            return TRUE;
        char buffer[256] = {};
        GetWindowTextA(wnd, buffer, sizeof(buffer));
        caption = buffer;
        GetDlgItemTextA(wnd, 0xFFFF, buffer, sizeof(buffer));
        text = buffer;
        PostMessageA(wnd, WM_COMMAND, IDOK, 0);
        return FALSE;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD)
    {
        if (EnumThreadWindows(GetCurrentThreadId(), Find, 0) == FALSE || !text.empty())
            KillTimer(nullptr, id);
    }
};

} // namespace

TEST(Forms, ErrorInAHandlerStopsThatHandlerAndTheProgramGoesOn)
{
    Owned<TfrmTest> form;
    CaughtErrors errors;
    SendMessageA(form->Handle(), WM_TEST_FAIL, 0, 0);
    ASSERT_EQ(1u, errors.Messages().size());
    EXPECT_EQ("Unable to write to C:\\x.ini", errors.Messages()[0]);
    EXPECT_FALSE(form->afterThrow);

    // The window still works.
    form->SetCaption("still here");
    EXPECT_EQ("still here", form->Caption());
    PostMessageA(form->Handle(), WM_TEST_FAIL, 0, 0);
    PumpMessages();
    EXPECT_EQ(2u, errors.Messages().size());
}

TEST(Forms, UnhandledErrorIsShownInABoxWithTheTitle)
{
    Owned<TfrmTest> form;
    const auto savedHandler = Application.OnException;
    Application.OnException = nullptr;
    const std::wstring savedTitle = Application.Title();
    Application.SetTitle(L"Pinova test");
    BoxCloser::caption.clear();
    BoxCloser::text.clear();
    SetTimer(nullptr, 0, 100, BoxCloser::Tick);
    SendMessageA(form->Handle(), WM_TEST_FAIL, 0, 0);
    Application.OnException = savedHandler;
    Application.SetTitle(savedTitle);
    EXPECT_EQ("Pinova test", BoxCloser::caption);
    EXPECT_EQ("Unable to write to C:\\x.ini", BoxCloser::text);
    EXPECT_FALSE(form->afterThrow);
}

TEST(Forms, ApplicationKeepsFormsInCreationOrder)
{
    const size_t before = Application.Forms().size();
    Owned<TfrmTest> a, b, c;
    ASSERT_EQ(before + 3, Application.Forms().size());
    EXPECT_EQ(a.form, Application.Forms()[before]);
    EXPECT_EQ(c.form, Application.Forms()[before + 2]);
    EXPECT_EQ(1, a->created);
    EXPECT_TRUE(IsWindow(a->Handle()));
    EXPECT_EQ(Application.Handle(), GetWindow(a->Handle(), GW_OWNER));
}

TEST(Forms, ReleaseFreesTheFormOnTheNextTurnOfTheLoop)
{
    auto* form = Application.CreateForm<TfrmTest>();
    HWND wnd = form->Handle();
    form->Release();
    EXPECT_TRUE(IsWindow(wnd));
    PumpMessages();
    EXPECT_FALSE(IsWindow(wnd));
    for (TForm* f : Application.Forms())
        EXPECT_NE(form, f);
}

TEST(Forms, CloseAsksFirstAndHides)
{
    Owned<TfrmTest> form;
    form->Show();
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    form->refuseClose = true;
    SendMessageA(form->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(1, form->closeQueries);
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    form->refuseClose = false;
    form->Close();
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
}

TEST(Forms, ShowModalReturnsTheModalResultAndDisablesOtherWindows)
{
    Owned<TfrmTest> other, dialog;
    other->Show();
    auto* timer = other->Create<TTimer>();
    timer->SetInterval(50);
    bool otherEnabled = true;
    timer->OnTimer = [&] {
        timer->SetEnabled(false);
        otherEnabled = IsWindowEnabled(other->Handle()) != FALSE;
        PostMessageA(dialog->Handle(), WM_CLOSE, 0, 0);
    };
    EXPECT_EQ(mrCancel, dialog->ShowModal());
    EXPECT_FALSE(otherEnabled);
    EXPECT_TRUE(IsWindowEnabled(other->Handle()));
    EXPECT_FALSE(IsWindowVisible(dialog->Handle()));

    // A refused close query keeps the dialog open until it agrees.
    dialog->refuseClose = true;
    int ticks = 0;
    timer->OnTimer = [&] {
        if (++ticks == 1) {
            dialog->ModalResult = mrOk;
        } else {
            timer->SetEnabled(false);
            dialog->refuseClose = false;
            dialog->ModalResult = mrOk;
        }
        PostMessageA(dialog->Handle(), WM_NULL, 0, 0);
    };
    timer->SetEnabled(true);
    EXPECT_EQ(mrOk, dialog->ShowModal());
    EXPECT_EQ(2, ticks);
    EXPECT_GE(dialog->closeQueries, 2);
}

TEST(Forms, AModalFormWhoseCloseQueryFailsStillGivesTheOtherWindowsBack)
{
    struct TfrmFailingQuery : TfrmTest {
        using TfrmTest::TfrmTest;
        void FormCloseQuery(bool&) override { throw EIniFileException("Unable to write to C:\\ro\\x.ini"); }
    };
    Owned<TfrmTest> other;
    Owned<TfrmFailingQuery> dialog;
    other->Show();
    PostMessageA(dialog->Handle(), WM_CLOSE, 0, 0);
    EXPECT_THROW(dialog->ShowModal(), EIniFileException);
    EXPECT_TRUE(IsWindowEnabled(other->Handle()));
    EXPECT_FALSE(IsWindowVisible(dialog->Handle()));
    EXPECT_FALSE(dialog->Modal());
}

TEST(Forms, KeyPreviewLetsTheFormSwallowKeysOfItsControls)
{
    Owned<TfrmTest> form;
    auto* box = form->Create<TPanel>();
    box->SetParent(form.form);
    std::vector<WORD> boxKeys;
    box->OnKeyDown = [&](WORD& key, TShiftState) { boxKeys.push_back(key); };
    SendMessageA(box->Handle(), WM_KEYDOWN, 'A', 0);
    EXPECT_TRUE(form->keys.empty());
    ASSERT_EQ(1u, boxKeys.size());

    form->KeyPreview = true;
    SendMessageA(box->Handle(), WM_KEYDOWN, 'B', 0);
    SendMessageA(box->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ((std::vector<WORD>{'B', VK_ESCAPE}), form->keys);
    EXPECT_EQ((std::vector<WORD>{'A', 'B'}), boxKeys);
}

TEST(Forms, RecreatingAWindowKeepsItsChildrenAndTheirState)
{
    Owned<TfrmTest> form;
    form->SetBounds(50, 60, 300, 200);
    form->SetCaption("caption");
    auto* top = form->Create<TPanel>();
    top->SetHeight(18);
    top->SetAlign(TAlign::alTop);
    top->SetParent(form.form);
    auto* rest = form->Create<TPanel>();
    rest->SetAlign(TAlign::alClient);
    rest->SetParent(form.form);
    rest->SetText("body");
    EXPECT_EQ(form->ClientWidth(), top->Width());
    EXPECT_EQ(18, rest->Top());
    EXPECT_EQ(form->ClientHeight() - 18, rest->Height());

    HWND oldForm = form->Handle(), oldChild = rest->Handle();
    form->RecreateWnd();
    EXPECT_NE(oldForm, form->Handle());
    EXPECT_FALSE(IsWindow(oldChild));
    EXPECT_EQ(form->Handle(), GetParent(rest->Handle()));
    EXPECT_EQ("caption", form->Caption());
    EXPECT_EQ("body", rest->Text());
    EXPECT_EQ(50, form->Left());
    EXPECT_EQ(200, form->Height());
    EXPECT_EQ(18, rest->Top());
    EXPECT_EQ(TWinControl::FromHandle(rest->Handle()), rest);
}

TEST(Forms, AGraphicControlIsDrawnAndPressedThroughItsParent)
{
    Owned<TfrmTest> form;
    form->SetBounds(100, 100, 320, 200);
    struct Press {
        std::string box;
        int x, y;
        bool twice;
    };
    std::vector<Press> presses;
    // Each box fills far more than its place: what shows of it is where it is.
    auto addBox = [&](const char* name, RECT place, COLORREF colour) {
        auto* box = form->Create<TPaintBox>();
        box->SetBounds(place.left, place.top, place.right - place.left, place.bottom - place.top);
        box->SetParent(form.form);
        box->OnPaint = [colour](HDC dc) {
            UniqueBrush brush(CreateSolidBrush(colour));
            const RECT all{-1000, -1000, 1000, 1000};
            FillRect(dc, &all, brush.get());
        };
        box->OnMouseDown = [&presses, name](TMouseButton, TShiftState shift, int x, int y) {
            presses.push_back({name, x, y, (shift & ssDouble) != 0});
        };
        return box;
    };
    constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255);
    TPaintBox* low = addBox("low", {10, 10, 110, 40}, kRed);
    TPaintBox* high = addBox("high", {50, 10, 150, 40}, kBlue);
    TPaintBox* hidden = addBox("hidden", {0, 0, 300, 150}, RGB(0, 255, 0));
    hidden->SetVisible(false);
    form->Show();
    EXPECT_EQ(nullptr, high->Handle());
    EXPECT_EQ(nullptr, GetWindow(form->Handle(), GW_CHILD));
    const POINT corner = high->ClientToScreen({0, 0}), expected = form->ClientToScreen({50, 10});
    EXPECT_EQ(expected.x, corner.x);
    EXPECT_EQ(expected.y, corner.y);

    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    auto colourAt = [&](int x, int y) {
        const WindowImage image = WindowImage::OnScreen(form->Handle());
        RECT window;
        GetWindowRect(form->Handle(), &window);
        const POINT p = form->ClientToScreen({x, y});
        return image.Pixel(p.x - window.left, p.y - window.top);
    };
    struct Point {
        int x, y;
        COLORREF colour;
    };
    auto check = [&](const char* when, std::vector<Point> points) {
        for (const Point& p : points)
            EXPECT_EQ(p.colour, colourAt(p.x, p.y)) << when << " at " << p.x << "," << p.y;
    };
    check("shown", {{20, 20, kRed}, {80, 20, kBlue}, {155, 20, face}, {20, 45, face}, {200, 100, face}});

    SendMessageA(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    SendMessageA(form->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(80, 15));
    SendMessageA(form->Handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(200, 100));  // over none
    ASSERT_EQ(2u, presses.size());
    EXPECT_EQ("low", presses[0].box);
    EXPECT_EQ(10, presses[0].x);
    EXPECT_EQ(10, presses[0].y);
    EXPECT_FALSE(presses[0].twice);
    EXPECT_EQ("high", presses[1].box) << "the one placed last lies on top";
    EXPECT_EQ(30, presses[1].x);
    EXPECT_EQ(5, presses[1].y);
    EXPECT_TRUE(presses[1].twice);

    high->SetLeft(150);
    low->SetVisible(false);
    check("moved and hidden", {{20, 20, face}, {80, 20, face}, {155, 20, kBlue}});
    presses.clear();
    SendMessageA(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    EXPECT_TRUE(presses.empty());
}

TEST(Forms, ASizeGivenBeforeTheWindowExistsIsTheSizeItIsMadeWith)
{
    struct TfrmSized : TfrmTest {
        explicit TfrmSized(TComponent* owner) : TfrmTest(owner) { SetClientSize(349, 289); }
        int sizes = 0;
        LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override
        {
            sizes += msg == WM_SIZE ? 1 : 0;
            return TfrmTest::WndProc(msg, wParam, lParam);
        }
    };
    struct Case {
        const char* what;
        std::function<void(TfrmSized&)> prepare;
        RECT client;
        int left;
    };
    const Case cases[] = {
        {"the client size alone", [](TfrmSized&) {}, {0, 0, 349, 289}, -1},
        {"then a move alone keeps it", [](TfrmSized& f) { f.SetBounds(474, 362, f.Width(), f.Height()); },
         {0, 0, 349, 289}, 474},
        {"then a place replaces it", [](TfrmSized& f) { f.SetBounds(10, 20, 300, 200); }, {}, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto* form = Application.CreateFormPrepared<TfrmSized>(c.prepare);
        if (c.client.right) {
            EXPECT_EQ(c.client.right, form->ClientWidth());
            EXPECT_EQ(c.client.bottom, form->ClientHeight());
        } else {
            EXPECT_EQ(300, form->Width());
            EXPECT_EQ(200, form->Height());
        }
        if (c.left >= 0) {
            EXPECT_EQ(c.left, form->Left());
        }
        // Made at that size, never sized again after it was made.
        EXPECT_EQ(0, form->sizes);
        Application.DestroyForm(form);
    }
}

TEST(Forms, LayeredAttributesFollowTheProperties)
{
    Owned<TfrmTest> form;
    EXPECT_FALSE(GetWindowLongPtrA(form->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
    form->SetAlphaBlendValue(44);
    form->SetAlphaBlend(true);
    form->SetTransparentColorValue(0x33081A);
    form->SetTransparentColor(true);
    EXPECT_TRUE(GetWindowLongPtrA(form->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(form->Handle(), &key, &alpha, &flags));
    EXPECT_EQ(44, alpha);
    EXPECT_EQ(0x33081Au, key);
    EXPECT_EQ(DWORD(LWA_ALPHA | LWA_COLORKEY), flags);
    form->SetAlphaBlend(false);
    form->SetTransparentColor(false);
    EXPECT_FALSE(GetWindowLongPtrA(form->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
}

TEST(Timers, TickWhileEnabledAndStopWhenFreed)
{
    Owned<TfrmTest> form;
    auto* timer = form->Create<TTimer>();
    int ticks = 0;
    timer->SetEnabled(false);
    timer->SetInterval(30);
    timer->OnTimer = [&] {
        ++ticks;
        timer->SetEnabled(false);
    };
    PumpMessages(100);
    EXPECT_EQ(0, ticks);
    timer->SetEnabled(true);
    EXPECT_TRUE(PumpUntil([&] { return ticks == 1; }, 2000));
    PumpMessages(100);
    EXPECT_EQ(1, ticks);

    timer->OnTimer = [&] { throw EConvertError("'x' is not a valid integer value"); };
    CaughtErrors errors;
    timer->SetEnabled(true);
    EXPECT_TRUE(PumpUntil([&] { return !errors.Messages().empty(); }, 2000));
    form->DestroyComponent(timer);
    const size_t seen = errors.Messages().size();
    PumpMessages(100);
    EXPECT_EQ(seen, errors.Messages().size());
}

namespace {

// Errors that reach the application's report; the report itself can be made to fail.
struct Reports {
    std::vector<std::string> seen;
    bool reportFails = false;
    Reports()
    {
        Application.OnException = [this](const std::exception& e) {
            seen.push_back(e.what());
            if (reportFails)
                throw std::runtime_error("the report failed too");
        };
    }
};

} // namespace

TEST(Boundaries, NoExceptionLeavesACallbackThePlatformMakes)
{
    struct Case {
        const char* where;
        std::function<void(TfrmTest& form, TTimer& timer)> provoke;
        bool reportFails;
        const char* expected;
    };
    const Case cases[] = {
        {"the application window closing the program, its close query failing to write",
         [](TfrmTest&, TTimer&) {
             MainFormCloseQuery = [](bool&) { throw EIniFileException("Unable to write to C:\\ro\\Pinova.ini"); };
             SendMessageA(Application.Handle(), WM_CLOSE, 0, 0);
         },
         false, "Unable to write to C:\\ro\\Pinova.ini"},
        {"a timer whose handler throws something that is no std::exception",
         [](TfrmTest&, TTimer& timer) {
             timer.OnTimer = [&timer] {
                 timer.SetEnabled(false);
                 throw 42;
             };
             timer.SetEnabled(true);
         },
         false, "Unexpected error"},
        {"a timer whose error report fails as well",
         [](TfrmTest&, TTimer& timer) {
             timer.OnTimer = [&timer] {
                 timer.SetEnabled(false);
                 throw EConvertError("'x' is not a valid integer value");
             };
             timer.SetEnabled(true);
         },
         true, "'x' is not a valid integer value"},
        {"a window whose error report fails as well",
         [](TfrmTest& form, TTimer&) { SendMessageA(form.Handle(), WM_TEST_FAIL, 0, 0); },
         true, "Unable to write to C:\\x.ini"},
    };
    CaughtErrors restoreTheHandler;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        Owned<TfrmTest> form;
        auto* timer = form->Create<TTimer>();
        timer->SetEnabled(false);
        timer->SetInterval(10);
        Reports reports;
        reports.reportFails = c.reportFails;
        c.provoke(*form.form, *timer);
        PumpUntil([&] { return !reports.seen.empty(); }, 2000);
        MainFormCloseQuery = nullptr;
        ASSERT_EQ(std::vector<std::string>{c.expected}, reports.seen);
        // Still running: the loop was not asked to end and the windows still answer.
        MSG quit;
        EXPECT_FALSE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
        EXPECT_FALSE(Application.Terminated());
        form->SetCaption("still here");
        EXPECT_EQ("still here", form->Caption());
    }
}

TEST(Boundaries, AnErrorInsideAnEnumerationComesOutAfterIt)
{
    Owned<TfrmTest> a, b;
    struct State {
        TCallbackError error;
        int calls = 0;
    } state;
    const BOOL finished = EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND, LPARAM data) noexcept -> BOOL {
            auto& s = *reinterpret_cast<State*>(data);
            return s.error.Run([&] {
                if (++s.calls == 2)
                    throw EOutOfResources("no room for the list");
                return true;
            });
        },
        reinterpret_cast<LPARAM>(&state));
    EXPECT_FALSE(finished) << "the enumeration stops at the error";
    EXPECT_EQ(2, state.calls);
    try {
        state.error.Rethrow();
        ADD_FAILURE() << "the error was lost";
    } catch (const EOutOfResources& e) {
        EXPECT_STREQ("no room for the list", e.what());
    }
    EXPECT_NO_THROW(state.error.Rethrow()) << "thrown once";
}

namespace {

// Someone else who subclasses a control after us: a tool, an input method, a
// screen reader. It must see every message up to the window's last.
struct Onlooker {
    static inline std::vector<UINT> seen;
    static inline WNDPROC previous = nullptr;
    static void Note(UINT msg)
    {
        if (msg == WM_SETTEXT || msg == WM_KEYDOWN || msg == WM_NCDESTROY)
            seen.push_back(msg);
    }
    static LRESULT CALLBACK Helper(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) noexcept
    {
        Note(msg);
        if (msg == WM_NCDESTROY)
            RemoveWindowSubclass(wnd, Helper, 7);
        return DefSubclassProc(wnd, msg, wParam, lParam);
    }
    static LRESULT CALLBACK Swapped(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept
    {
        Note(msg);
        return CallWindowProcA(previous, wnd, msg, wParam, lParam);
    }
};

} // namespace

TEST(Subclassing, ThoseWhoSubclassAControlAfterUsKeepSeeingItsMessages)
{
    struct Case {
        const char* how;
        std::function<void(HWND)> subclass;
    };
    const Case cases[] = {
        {"with the platform's helpers", [](HWND wnd) { SetWindowSubclass(wnd, Onlooker::Helper, 7, 0); }},
        {"by swapping the window procedure",
         [](HWND wnd) {
             Onlooker::previous = reinterpret_cast<WNDPROC>(
                 SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Onlooker::Swapped)));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        Owned<TfrmTest> form;
        auto* edit = form->Create<TEdit>();
        edit->SetParent(form.form);
        std::vector<WORD> keys;
        edit->OnKeyDown = [&](WORD& key, TShiftState) { keys.push_back(key); };
        Onlooker::seen.clear();
        c.subclass(edit->Handle());

        edit->SetText("typed");
        SendMessageA(edit->Handle(), WM_KEYDOWN, 'Q', 1);
        EXPECT_EQ("typed", edit->Text()) << "the system control still does its work";
        EXPECT_EQ(std::vector<WORD>{'Q'}, keys) << "and our control still hears its keys";
        // Our control lets the window go first; the onlooker still sees it to the end.
        form->DestroyComponent(edit);
        EXPECT_EQ((std::vector<UINT>{WM_SETTEXT, WM_KEYDOWN, WM_NCDESTROY}), Onlooker::seen);
    }
}
