// The browser host against the platform's own WebBrowser control: it is made,
// activated in place and navigated for real. Wine has no web engine here, so no
// page ever loads and the browser never calls its host by itself; the host's
// interfaces are called the way the browser calls them, through the site the
// real control was given.
#include "notes/BrowserHost.h"
#include "notes/PinBrowser.h"
#include "framework/Application.h"
#include "framework/SysUtils.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>
#include <mshtmdid.h>
#include <olectl.h>

#include <algorithm>
#include <vector>

namespace {

const GUID kDocHostCommandHandler = {0xF38BC242, 0xB950, 0x11D1, {0x89, 0x18, 0x00, 0xC0, 0x4F, 0xC2, 0xC8, 0x36}};

template <typename T>
ComPtr<T> Query(IUnknown* from, REFIID iid)
{
    ComPtr<T> result;
    if (from)
        from->QueryInterface(iid, reinterpret_cast<void**>(result.put()));
    return result;
}

// A page window as the tray opens it, with a place in the test's program folder.
struct Page {
    TestProgram program;
    TfrmPinBrowser* form = Application.CreateForm<TfrmPinBrowser>();
    Page()
    {
        form->Tag = 1;
        form->Show();
        PumpMessages();
    }
    ~Page()
    {
        if (form)
            Application.DestroyForm(form);
    }
    void Destroy() { Application.DestroyForm(std::exchange(form, nullptr)); }
    TBrowserHost* Browser() const { return form->Browser.get(); }
    // The site as the control knows it.
    ComPtr<IOleClientSite> Site() const
    {
        ComPtr<IOleClientSite> site;
        EXPECT_EQ(S_OK, Browser()->OleObject()->GetClientSite(site.put()));
        return site;
    }
    std::wstring Location() const
    {
        BSTR url = nullptr;
        if (FAILED(Browser()->DefaultInterface()->get_LocationURL(&url)) || !url)
            return L"(none)";
        std::wstring text(url, SysStringLen(url));
        SysFreeString(url);
        return text;
    }
};

std::string ScreenRect(HWND wnd)
{
    RECT r;
    GetWindowRect(wnd, &r);
    return RectText(r);
}

std::string ClassOf(HWND wnd)
{
    char name[64] = "";
    GetClassNameA(wnd, name, sizeof(name));
    return name;
}

// A script's error event, or the window or document leading to it: named
// properties and nothing else, which is all the host may rely on.
class PropertyBag final : public IDispatch {
public:
    // Takes the values over.
    explicit PropertyBag(std::vector<std::pair<std::wstring, VARIANT>> properties) : properties_(std::move(properties)) {}
    PropertyBag(const PropertyBag&) = delete;
    PropertyBag& operator=(const PropertyBag&) = delete;
    ULONG References() const { return references_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        *out = iid == IID_IUnknown || iid == IID_IDispatch ? static_cast<IDispatch*>(this) : nullptr;
        return *out ? (AddRef(), S_OK) : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --references_;
        if (!left)
            delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override { return *n = 0, S_OK; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* ids) override
    {
        for (size_t i = 0; i < properties_.size(); ++i)
            if (properties_[i].first == names[0])
                return ids[0] = static_cast<DISPID>(i + 1), S_OK;
        return ids[0] = DISPID_UNKNOWN, DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                                     UINT*) override
    {
        if (id < 1 || static_cast<size_t>(id) > properties_.size())
            return DISP_E_MEMBERNOTFOUND;
        VariantInit(result);
        return VariantCopy(result, &properties_[static_cast<size_t>(id) - 1].second);
    }

private:
    ~PropertyBag()
    {
        for (auto& property : properties_)
            VariantClear(&property.second);
    }
    ULONG references_ = 1;
    std::vector<std::pair<std::wstring, VARIANT>> properties_;
};

VARIANT Number(LONG value)
{
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

VARIANT Text(const wchar_t* text)
{
    VARIANT v;
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(text);
    return v;
}

using Properties = std::vector<std::pair<std::wstring, VARIANT>>;

void LeaveOut(Properties& properties, const std::wstring& name)
{
    std::erase_if(properties, [&](std::pair<std::wstring, VARIANT>& property) {
        if (property.first != name)
            return false;
        VariantClear(&property.second);
        return true;
    });
}

// Takes the object's reference over.
VARIANT Object(IDispatch* object)
{
    VARIANT v;
    v.vt = VT_DISPATCH;
    v.pdispVal = object;
    return v;
}

// The browser's active object as a test sees it: it takes Tab key-downs and
// notes every message it is offered.
class FakeActiveObject final : public IOleInPlaceActiveObject {
public:
    std::vector<MSG> offered;
    ULONG references = 1;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (iid != IID_IUnknown && iid != IID_IOleWindow && iid != IID_IOleInPlaceActiveObject)
            return *out = nullptr, E_NOINTERFACE;
        *out = static_cast<IOleInPlaceActiveObject*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }  // lives on the test's stack
    HRESULT STDMETHODCALLTYPE GetWindow(HWND*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG msg) override
    {
        offered.push_back(*msg);
        return msg->message == WM_KEYDOWN && msg->wParam == VK_TAB ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
};

// Stands for the browser's inner window: notes the key messages it gets.
std::vector<MSG> delivered;
LRESULT CALLBACK KeyTargetProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg >= WM_KEYFIRST && msg <= WM_KEYLAST)
        delivered.push_back(MSG{wnd, msg, wParam, lParam, 0, {}});
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

HWND CreateKeyTarget(HWND parent)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = KeyTargetProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "PinovaKeyTarget";
    RegisterClassA(&wc);
    return CreateWindowExA(0, "PinovaKeyTarget", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, parent, nullptr,
                           wc.hInstance, nullptr);
}

} // namespace

// Windows of the control standing alone on the desktop: each would get a taskbar button.
int TopLevelControlWindows()
{
    int found = 0;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND wnd, LPARAM count) {
            *reinterpret_cast<int*>(count) += ClassOf(wnd) == "Shell Embedding";
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

TEST(BrowserHost, TheRealControlIsActiveInPlaceFillingThePanel)
{
    {
        const TBrowserHost alone(nullptr);
        EXPECT_EQ(0, TopLevelControlWindows()) << "the control has no place of ours yet";
    }
    Page page;
    TBrowserHost* browser = page.Browser();
    ASSERT_TRUE(browser->InPlaceActive());
    const HWND control = browser->ControlWindow();
    ASSERT_TRUE(control);
    EXPECT_EQ("Shell Embedding", ClassOf(control));
    EXPECT_EQ(browser->Handle(), GetParent(control));
    EXPECT_EQ(page.form->pnlWebBrowser->Handle(), GetParent(browser->Handle()));
    EXPECT_TRUE(IsWindowVisible(control));

    // The panel fills the client area under the caption strip; the browser the panel.
    auto expectFilling = [&](const char* when) {
        const RECT client = page.form->ClientRect();
        EXPECT_EQ(RectText({0, 18, client.right, client.bottom}), RectText(page.form->pnlWebBrowser->BoundsRect()))
            << when;
        EXPECT_EQ(ScreenRect(page.form->pnlWebBrowser->Handle()), ScreenRect(browser->Handle())) << when;
        EXPECT_EQ(ScreenRect(browser->Handle()), ScreenRect(browser->ControlWindow())) << when;
    };
    expectFilling("at first");
    page.form->SetBounds(100, 120, 500, 420);
    PumpMessages();
    expectFilling("after a resize");

    // The properties the window set, read back from the control.
    VARIANT_BOOL registered = VARIANT_FALSE, visible = VARIANT_FALSE;
    EXPECT_EQ(S_OK, browser->DefaultInterface()->get_RegisterAsBrowser(&registered));
    EXPECT_EQ(S_OK, browser->DefaultInterface()->get_Visible(&visible));
    EXPECT_EQ(VARIANT_TRUE, registered);
    EXPECT_EQ(VARIANT_TRUE, visible);

    // A window made again takes the control with it.
    page.form->RecreateWnd();
    PumpMessages();
    ASSERT_TRUE(browser->InPlaceActive());
    EXPECT_EQ(browser->Handle(), GetParent(browser->ControlWindow()));
    expectFilling("after the window was made again");
    EXPECT_EQ(0, TopLevelControlWindows());
}

TEST(BrowserHost, Navigate2ReachesTheControlWithTheAddress)
{
    Page page;
    for (const char* address : {"http://127.0.0.1/", "http://127.0.0.1/path?q=1&r=2#top", "about:blank"}) {
        page.form->OpenUrl(address);
        PumpMessages();
        EXPECT_EQ(address, page.form->Url);
        EXPECT_EQ(AnsiToWide(address), page.Location());
    }
    page.form->OpenUrl("http://127.0.0.1/again");
    page.Browser()->ShowBlankPage();
    EXPECT_EQ(L"about:blank", page.Location());
    EXPECT_EQ("http://127.0.0.1/again", page.form->Url) << "the page keeps its address";
}

TEST(BrowserHost, TheSiteAnswersHostInfoAndAmbientProperties)
{
    Page page;
    const ComPtr<IOleClientSite> site = page.Site();
    ASSERT_TRUE(site);
    EXPECT_EQ(page.Browser()->ClientSite(), site.get());

    const auto handler = Query<IDocHostUIHandler>(site.get(), IID_IDocHostUIHandler);
    ASSERT_TRUE(handler);
    DOCHOSTUIINFO info{};
    info.cbSize = sizeof(info);
    info.dwDoubleClick = 77;
    EXPECT_EQ(S_OK, handler->GetHostInfo(&info));
    EXPECT_EQ(0x44080u, info.dwFlags);
    EXPECT_EQ(static_cast<DWORD>(DOCHOSTUIDBLCLK_DEFAULT), info.dwDoubleClick);
    info.cbSize = 4;
    EXPECT_EQ(E_INVALIDARG, handler->GetHostInfo(&info)) << "too small to hold the flags";
    // Hooks the page does not set leave the browser its own way.
    EXPECT_EQ(S_FALSE, handler->ShowContextMenu(CONTEXT_MENU_DEFAULT, nullptr, nullptr, nullptr));
    IDispatch* external = reinterpret_cast<IDispatch*>(1);
    EXPECT_EQ(E_NOTIMPL, handler->GetExternal(&external));
    EXPECT_EQ(nullptr, external);

    const auto ambient = Query<IDispatch>(site.get(), IID_IDispatch);
    ASSERT_TRUE(ambient);
    struct Case {
        DISPID id;
        HRESULT result;
        VARTYPE type;
        LONG value;
    } cases[] = {
        {DISPID_AMBIENT_DLCONTROL, S_OK, VT_I4, 0x70},
        {DISPID_AMBIENT_USERMODE, S_OK, VT_BOOL, VARIANT_TRUE},
        {DISPID_AMBIENT_USERAGENT, DISP_E_MEMBERNOTFOUND, VT_EMPTY, 0},
        {12345, DISP_E_MEMBERNOTFOUND, VT_EMPTY, 0},
    };
    for (const Case& c : cases) {
        VARIANT value;
        VariantInit(&value);
        DISPPARAMS none{nullptr, nullptr, 0, 0};
        EXPECT_EQ(c.result, ambient->Invoke(c.id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &value, nullptr, nullptr))
            << c.id;
        EXPECT_EQ(c.type, value.vt) << c.id;
        EXPECT_EQ(c.value, c.type == VT_BOOL ? value.boolVal : value.lVal) << c.id;
    }
}

TEST(BrowserHost, AScriptErrorIsDescribedAndAnsweredWithoutADialog)
{
    Page page;
    const auto commands = Query<IOleCommandTarget>(page.Site().get(), IID_IOleCommandTarget);
    ASSERT_TRUE(commands);
    std::vector<std::wstring> seen;
    const auto pageHandler = page.Browser()->OnPageScriptError;
    ASSERT_TRUE(pageHandler);
    page.Browser()->OnPageScriptError = [&](TBrowserHost* sender, const std::wstring& text, bool& go) {
        EXPECT_EQ(page.Browser(), sender);
        EXPECT_FALSE(go) << "asked with the flag down";
        seen.push_back(text);
        pageHandler(sender, text, go);
    };

    const std::wstring complete = Utf8ToWide("  줄: 12\r문자: 5\r오류: 'x' is undefined\r코드: -2146823279\r"
                                             "URL: http://127.0.0.1/a.js");
    // Each case leaves one part out of the chain document - window - event, or spoils it.
    for (const std::wstring leftOut : {L"", L"errorline", L"errorCharacter", L"errorCode", L"errorMessage",
                                       L"errorUrl", L"event", L"parentWindow", L"spoiled"}) {
        Properties event{
            {L"errorline", leftOut == L"spoiled" ? Text(L"twelve") : Number(12)},
            {L"errorCharacter", Number(5)},
            {L"errorCode", Number(-2146823279)},
            {L"errorMessage", Text(L"'x' is undefined")},
            {L"errorUrl", Text(L"http://127.0.0.1/a.js")},
        };
        LeaveOut(event, leftOut);
        Properties window{{L"event", Object(new PropertyBag(event))}};
        LeaveOut(window, leftOut);
        auto* document = new PropertyBag({{leftOut == L"parentWindow" ? L"top" : L"parentWindow",
                                           Object(new PropertyBag(window))}});

        VARIANT in, out;
        VariantInit(&out);
        in.vt = VT_UNKNOWN;
        in.punkVal = document;
        seen.clear();
        EXPECT_EQ(S_OK, commands->Exec(&kDocHostCommandHandler, OLECMDID_SHOWSCRIPTERROR, 0, &in, &out));
        EXPECT_EQ(std::vector<std::wstring>{leftOut.empty() ? complete : L"Error"}, seen)
            << "without " << WideToUtf8(leftOut);
        EXPECT_EQ(VT_BOOL, out.vt);
        EXPECT_EQ(VARIANT_TRUE, out.boolVal) << "the page's scripts go on";
        EXPECT_EQ(1u, document->References()) << "nothing kept";
        document->Release();
    }

    VARIANT none, out;
    none.vt = VT_EMPTY;
    VariantInit(&out);
    seen.clear();
    EXPECT_EQ(S_OK, commands->Exec(&kDocHostCommandHandler, OLECMDID_SHOWSCRIPTERROR, 0, &none, &out));
    EXPECT_EQ(std::vector<std::wstring>{L"Error"}, seen) << "no document at all";

    // Without a handler the scripts stop, and still no dialog.
    page.Browser()->OnPageScriptError = nullptr;
    EXPECT_EQ(S_OK, commands->Exec(&kDocHostCommandHandler, OLECMDID_SHOWSCRIPTERROR, 0, &none, &out));
    EXPECT_EQ(VARIANT_FALSE, out.boolVal);
    // A handler that fails is reported, and the browser told so.
    {
        CaughtErrors errors;
        page.Browser()->OnPageScriptError = [](TBrowserHost*, const std::wstring&, bool&) {
            throw Exception("handler failed");
        };
        EXPECT_EQ(E_FAIL, commands->Exec(&kDocHostCommandHandler, OLECMDID_SHOWSCRIPTERROR, 0, &none, &out));
        EXPECT_EQ(std::vector<std::string>{"handler failed"}, errors.Messages());
    }
    // Other commands are not ours.
    EXPECT_EQ(OLECMDERR_E_NOTSUPPORTED, commands->Exec(&kDocHostCommandHandler, OLECMDID_PRINT, 0, &none, &out));
    EXPECT_EQ(OLECMDERR_E_UNKNOWNGROUP, commands->Exec(&IID_NULL, OLECMDID_SHOWSCRIPTERROR, 0, &none, &out));
    EXPECT_EQ(OLECMDERR_E_UNKNOWNGROUP, commands->Exec(nullptr, OLECMDID_SHOWSCRIPTERROR, 0, &none, &out));
}

TEST(BrowserHost, KeysInsideTheBrowserGoToItsActiveObjectFirst)
{
    Page page;
    const HWND target = CreateKeyTarget(page.Browser()->ControlWindow());
    ASSERT_TRUE(target);
    FakeActiveObject active;
    const auto frame = Query<IOleInPlaceFrame>(page.Site().get(), IID_IOleInPlaceFrame);
    ASSERT_TRUE(frame);
    ASSERT_EQ(S_OK, frame->SetActiveObject(&active, nullptr));

    constexpr LPARAM kExtended = LPARAM{1} << 24;
    struct Case {
        HWND to;
        UINT message;
        WPARAM key;
        LPARAM data;
        bool offered, delivered;
    } cases[] = {
        {target, WM_KEYDOWN, VK_TAB, 0, true, false},  // taken by the browser
        {target, WM_KEYUP, VK_TAB, 0, true, true},
        {target, WM_KEYDOWN, 'A', 0, true, true},
        {target, WM_CHAR, 'a', 0, true, true},
        {target, WM_KEYDOWN, VK_BACK, 0, false, true},
        {target, WM_KEYDOWN, VK_RETURN, 0, false, true},
        {target, WM_CHAR, '\r', 0, false, true},
        {target, WM_DEADCHAR, '^', 0, true, true},
        {target, WM_KEYDOWN, VK_LEFT, kExtended, false, true},
        {target, WM_KEYUP, VK_RIGHT, kExtended, false, true},
        {target, WM_KEYDOWN, VK_LEFT, 0, true, true},  // the keypad's 4 without Num Lock
        {target, WM_KEYDOWN, VK_UP, kExtended, true, true},
        {page.Browser()->Handle(), WM_KEYDOWN, VK_TAB, 0, true, false},
        {page.form->btnClose->Handle(), WM_KEYDOWN, VK_TAB, 0, false, false},  // not inside the browser
    };
    for (const Case& c : cases) {
        active.offered.clear();
        delivered.clear();
        PostMessageA(c.to, c.message, c.key, c.data);
        PumpMessages();
        auto count = [&](const std::vector<MSG>& seen) {
            return std::count_if(seen.begin(), seen.end(),
                                 [&](const MSG& m) { return m.message == c.message && m.wParam == c.key; });
        };
        EXPECT_EQ(c.offered ? 1 : 0, count(active.offered)) << std::hex << c.message << " " << c.key;
        EXPECT_EQ(c.delivered ? 1 : 0, count(delivered)) << std::hex << c.message << " " << c.key;
        if (c.offered && !active.offered.empty()) {
            EXPECT_EQ(c.to, active.offered[0].hwnd);
        }
    }

    // Given back: the control's own object answers again, and lets go of ours.
    ASSERT_EQ(S_OK, frame->SetActiveObject(nullptr, nullptr));
    EXPECT_EQ(1u, active.references);
    active.offered.clear();
    delivered.clear();
    PostMessageA(target, WM_KEYDOWN, 'B', 0);
    PumpMessages();
    EXPECT_TRUE(active.offered.empty());
    ASSERT_FALSE(delivered.empty());
    EXPECT_EQ(static_cast<UINT>(WM_KEYDOWN), delivered[0].message) << "Wine's browser has no document to take it";
}

TEST(BrowserHost, NothingIsLeftOrCalledAfterTheWindowGoes)
{
    Page page;
    page.form->OpenUrl("http://127.0.0.1/");
    FakeActiveObject active;
    ComPtr<IOleClientSite> site = page.Site();
    Query<IOleInPlaceFrame>(site.get(), IID_IOleInPlaceFrame)->SetActiveObject(&active, nullptr);
    IWebBrowser2* browser = page.Browser()->DefaultInterface();
    browser->AddRef();
    const auto commands = Query<IOleCommandTarget>(site.get(), IID_IOleCommandTarget);
    const auto handler = Query<IDocHostUIHandler>(site.get(), IID_IDocHostUIHandler);
    const auto ambient = Query<IDispatch>(site.get(), IID_IDispatch);
    const auto inPlace = Query<IOleInPlaceSite>(site.get(), IID_IOleInPlaceSite);
    ASSERT_TRUE(commands && handler && ambient && inPlace);

    page.Destroy();
    EXPECT_EQ(1u, active.references) << "the host let go of the active object";

    // What the control might still call through references it kept.
    VARIANT none, out;
    none.vt = VT_EMPTY;
    VariantInit(&out);
    EXPECT_EQ(E_UNEXPECTED, commands->Exec(&kDocHostCommandHandler, OLECMDID_SHOWSCRIPTERROR, 0, &none, &out));
    DOCHOSTUIINFO info{};
    info.cbSize = sizeof(info);
    EXPECT_EQ(E_UNEXPECTED, handler->GetHostInfo(&info));
    DISPPARAMS params{nullptr, nullptr, 0, 0};
    EXPECT_EQ(E_UNEXPECTED, ambient->Invoke(DISPID_AMBIENT_DLCONTROL, IID_NULL, 0, DISPATCH_PROPERTYGET, &params,
                                            &out, nullptr, nullptr));
    HWND wnd = reinterpret_cast<HWND>(1);
    EXPECT_EQ(E_UNEXPECTED, inPlace->GetWindow(&wnd));
    EXPECT_EQ(nullptr, wnd);
    EXPECT_EQ(S_FALSE, inPlace->CanInPlaceActivate());
    EXPECT_EQ(E_NOINTERFACE, site->QueryInterface(IID_IDocHostUIHandler, reinterpret_cast<void**>(&wnd)));

    // The control gave its site back, and is itself free to go once the
    // navigation that was under way has ended.
    PumpMessages(1000);
    EXPECT_EQ(0u, browser->Release()) << "the browser object still had references";
    site.reset();
    inPlace->AddRef();
    EXPECT_EQ(4u, inPlace->Release()) << "only the test's four references are left on the site";
}

TEST(BrowserHost, EmulationIsSetOnlyWhereNothingIsSet)
{
    const std::string ours = Format("pinova-test-%lu.exe", GetCurrentProcessId());
    const std::string theirs = Format("other-%lu.exe", GetCurrentProcessId());
    const char* path = "Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION";
    auto read = [&](const std::string& name) {
        DWORD value = 0, size = sizeof(value), type = 0;
        if (RegGetValueA(HKEY_CURRENT_USER, path, name.c_str(), RRF_RT_ANY, &type, &value, &size) != ERROR_SUCCESS)
            return std::string("absent");
        return Format("%lu/%lu", type, value);
    };
    auto write = [&](const std::string& name, DWORD value) {
        RegSetKeyValueA(HKEY_CURRENT_USER, path, name.c_str(), REG_DWORD, &value, sizeof(value));
    };
    auto remove = [&](const std::string& name) { RegDeleteKeyValueA(HKEY_CURRENT_USER, path, name.c_str()); };

    write(theirs, 9000);
    ASSERT_EQ("absent", read(ours));
    EXPECT_TRUE(SetBrowserEmulation(ours));
    EXPECT_EQ("4/11001", read(ours)) << "a DWORD of the newest mode";
    EXPECT_EQ("4/9000", read(theirs));

    write(ours, 10000);
    EXPECT_TRUE(SetBrowserEmulation(ours));
    EXPECT_EQ("4/10000", read(ours)) << "a value already set is kept";
    remove(ours);
    remove(theirs);
}
