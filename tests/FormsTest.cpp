#include "framework/Application.h"
#include "framework/Forms.h"
#include "framework/SysUtils.h"
#include "framework/Timer.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

namespace {

constexpr UINT WM_TEST_FAIL = WM_APP + 1;

class TfrmTest : public TForm {
public:
    explicit TfrmTest(TComponent* owner) : TForm(owner) {}

    int created = 0;
    bool afterThrow = false;
    bool refuseClose = false;
    int closeQueries = 0;
    std::vector<WORD> keys;

    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == WM_TEST_FAIL) {
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
    const std::string savedTitle = Application.Title();
    Application.SetTitle("Pinova test");
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

TEST(Forms, KeyPreviewLetsTheFormSwallowKeysOfItsControls)
{
    Owned<TfrmTest> form;
    auto* box = form->Create<TPaintBox>();
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
    auto* top = form->Create<TPaintBox>();
    top->SetHeight(18);
    top->SetAlign(TAlign::alTop);
    top->SetParent(form.form);
    auto* rest = form->Create<TPaintBox>();
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

TEST(Forms, ClientSizeSetBeforeTheWindowExistsIsKept)
{
    struct TfrmSized : TfrmTest {
        explicit TfrmSized(TComponent* owner) : TfrmTest(owner) { SetClientSize(349, 289); }
    };
    Owned<TfrmSized> form;
    EXPECT_EQ(349, form->ClientWidth());
    EXPECT_EQ(289, form->ClientHeight());
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
