#include "notes/BrowserHost.h"

#include "framework/Application.h"
#include "framework/SysUtils.h"
#include "notes/BrowserHostSite.h"

#include <mshtmdid.h>
#include <olectl.h>

#include <algorithm>
#include <cstddef>
#include <vector>

namespace {

// {F38BC242-B950-11D1-8918-00C04FC2C836}
constexpr GUID kDocHostCommandHandler = {0xF38BC242, 0xB950, 0x11D1, {0x89, 0x18, 0x00, 0xC0, 0x4F, 0xC2, 0xC8, 0x36}};

// The browser's dispatch properties that the host sets.
constexpr DISPID kDispidVisible = 402, kDispidRegisterAsBrowser = 552;

constexpr DWORD kDefaultDownloadFlags = DLCTL_DLIMAGES | DLCTL_VIDEOS | DLCTL_BGSOUNDS;

// Keys reach the browser's inner windows, which are not ours, so the hosts look
// at every message the thread takes out of its queue, whichever loop takes it.
class KeyHook {
public:
    static void Add(TOleControl* control)
    {
        auto& hook = Instance();
        if (std::find(hook.controls_.begin(), hook.controls_.end(), control) != hook.controls_.end())
            return;
        hook.controls_.push_back(control);
        if (!hook.handle_)
            hook.handle_ = SetWindowsHookExA(WH_GETMESSAGE, Filter, nullptr, GetCurrentThreadId());
    }
    static void Remove(TOleControl* control)
    {
        auto& hook = Instance();
        hook.controls_.erase(std::remove(hook.controls_.begin(), hook.controls_.end(), control), hook.controls_.end());
        if (hook.controls_.empty() && hook.handle_) {
            UnhookWindowsHookEx(hook.handle_);
            hook.handle_ = nullptr;
        }
    }

private:
    static KeyHook& Instance()
    {
        static KeyHook hook;
        return hook;
    }

    static LRESULT CALLBACK Filter(int code, WPARAM removing, LPARAM data) noexcept
    {
        auto* msg = reinterpret_cast<MSG*>(data);
        if (code == HC_ACTION && removing == PM_REMOVE && msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST) {
            try {
                for (TOleControl* control : Instance().controls_) {
                    HWND wnd = control->Handle();
                    if (wnd && (msg->hwnd == wnd || IsChild(wnd, msg->hwnd))) {
                        if (control->PreTranslateKey(*msg))
                            msg->message = WM_NULL;
                        break;
                    }
                }
            } catch (const std::exception& e) {
                Application.HandleException(e);
            } catch (...) {
                Application.HandleException(Exception("Unexpected error"));
            }
        }
        return CallNextHookEx(nullptr, code, removing, data);
    }

    std::vector<TOleControl*> controls_;
    HHOOK handle_ = nullptr;
};

// Where the object's window waits while we have none of our own: a
// message-only window, never shown and never given a taskbar button.
HWND ParkingWindow()
{
    struct Parking {
        HWND wnd = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        ~Parking()
        {
            if (wnd)
                DestroyWindow(wnd);
        }
    };
    static const Parking parking;
    return parking.wnd;
}

void Check(HRESULT result, const char* what)
{
    if (FAILED(result))
        throw Exception(Format("%s: %s", what, SysErrorMessage(static_cast<unsigned long>(result)).c_str()));
}

// A BSTR that frees itself.
class Bstr {
public:
    explicit Bstr(const std::wstring& text) : value_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())))
    {
        if (!value_)
            throw EOutOfResources("Out of memory");
    }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(value_); }
    BSTR get() const { return value_; }

private:
    BSTR value_;
};

VARIANT IntegerVariant(LONG value)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

} // namespace

// --- TOleControl

TOleControl::TOleControl(TComponent* owner, const CLSID& classId) : TWinControl(owner)
{
    site_.attach(new TOleControlSite(this));
    Check(CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                           reinterpret_cast<void**>(oleObject_.put())),
          "Cannot create the control");
    // Controls that want their site before anything else get it first; the
    // others get it after their initialisation, which is what each asks for.
    DWORD misc = 0;
    oleObject_->GetMiscStatus(DVASPECT_CONTENT, &misc);
    const bool siteFirst = misc & OLEMISC_SETCLIENTSITEFIRST;
    if (siteFirst)
        oleObject_->SetClientSite(site_.get());
    ComPtr<IPersistStreamInit> persist;
    if (SUCCEEDED(oleObject_->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(persist.put()))))
        persist->InitNew();
    if (!siteFirst)
        oleObject_->SetClientSite(site_.get());
}

// Teardown, in the order the control needs it: out of place first (its windows
// go while ours still exist), then closed, then without a site; only then are
// our references let go, and the site is cut loose so that a reference the
// control still holds can call nothing of ours.
TOleControl::~TOleControl() { Teardown(); }

void TOleControl::Teardown() noexcept
{
    KeyHook::Remove(this);
    Deactivate();
    activeObject_.reset();
    if (oleObject_) {
        oleObject_->Close(OLECLOSE_NOSAVE);
        oleObject_->SetClientSite(nullptr);
        oleObject_.reset();
    }
    if (site_) {
        site_->Detach();
        site_.reset();
    }
}

IOleClientSite* TOleControl::ClientSite() const { return site_.get(); }

HWND TOleControl::SiteWindow() const { return HandleAllocated() ? Handle() : ParkingWindow(); }

HWND TOleControl::ControlWindow() const
{
    HWND wnd = nullptr;
    if (inPlaceObject_ && FAILED(inPlaceObject_->GetWindow(&wnd)))
        wnd = nullptr;
    return wnd;
}

void TOleControl::SetDispatchProperty(DISPID id, bool value)
{
    ComPtr<IDispatch> dispatch;
    Check(oleObject_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch.put())), "No dispatch interface");
    VARIANT argument;
    VariantInit(&argument);
    argument.vt = VT_BOOL;
    argument.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&argument, &named, 1, 1};
    Check(dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr,
                           nullptr),
          "Cannot set a property of the control");
}

void TOleControl::Loaded()
{
    loaded_ = true;
    KeyHook::Add(this);
    if (HandleAllocated())
        Activate();
}

void TOleControl::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = "TOleControl";
}

void TOleControl::CreateWnd()
{
    TWinControl::CreateWnd();
    if (HWND object = ControlWindow()) {
        ::SetParent(object, Handle());
        PlaceObject();
    } else if (loaded_) {
        Activate();
    }
}

void TOleControl::KeepState()
{
    // Our window is being made again (a note changing its taskbar button, or the
    // desktop it sat in went away): the object's window waits outside it, so the
    // page and its state stay.
    if (HWND object = ControlWindow())
        ::SetParent(object, ParkingWindow());
    TWinControl::KeepState();
}

void TOleControl::Activate()
{
    if (inPlaceObject_ || !oleObject_)
        return;
    RECT r = ClientRect();
    Check(oleObject_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_.get(), 0, Handle(), &r),
          "Cannot activate the control");
    Check(oleObject_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(inPlaceObject_.put())),
          "The control cannot be active in place");
    if (!activeObject_)
        oleObject_->QueryInterface(IID_IOleInPlaceActiveObject, reinterpret_cast<void**>(activeObject_.put()));
    PlaceObject();
}

void TOleControl::Deactivate()
{
    if (!inPlaceObject_)
        return;
    inPlaceObject_->InPlaceDeactivate();
    inPlaceObject_.reset();
}

void TOleControl::PlaceObject()
{
    if (!inPlaceObject_ || !HandleAllocated())
        return;
    const RECT r = ClientRect();
    inPlaceObject_->SetObjectRects(&r, &r);
}

void TOleControl::SetActiveObject(IOleInPlaceActiveObject* active)
{
    if (active) {
        active->AddRef();
        activeObject_.attach(active);
    } else if (oleObject_) {
        // Back to the object's own.
        oleObject_->QueryInterface(IID_IOleInPlaceActiveObject, reinterpret_cast<void**>(activeObject_.put()));
    }
}

LRESULT TOleControl::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = TWinControl::WndProc(msg, wParam, lParam);
    if (msg == WM_SIZE)
        PlaceObject();
    return result;
}

bool TOleControl::AmbientProperty(DISPID id, VARIANT& value)
{
    switch (id) {
    case DISPID_AMBIENT_USERMODE:
        value.vt = VT_BOOL;
        value.boolVal = VARIANT_TRUE;
        return true;
    default:
        return false;
    }
}

void TOleControl::AmbientPropertyChanged(DISPID id)
{
    ComPtr<IOleControl> control;
    if (oleObject_ && SUCCEEDED(oleObject_->QueryInterface(IID_IOleControl, reinterpret_cast<void**>(control.put()))))
        control->OnAmbientPropertyChange(id);
}

HRESULT TOleControl::GetHostInfo(DOCHOSTUIINFO&) { return E_NOTIMPL; }

HRESULT TOleControl::CommandExec(const GUID*, DWORD, VARIANT*, VARIANT*) { return OLECMDERR_E_UNKNOWNGROUP; }

bool TOleControl::PreTranslateKey(MSG& msg) { return activeObject_ && activeObject_->TranslateAccelerator(&msg) == S_OK; }

// --- TWebBrowser

TWebBrowser::TWebBrowser(TComponent* owner) : TOleControl(owner, CLSID_WebBrowser)
{
    Check(OleObject()->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(browser_.put())),
          "The control has no browser interface");
}

void TWebBrowser::SetRegisterAsBrowser(bool value) { SetDispatchProperty(kDispidRegisterAsBrowser, value); }
void TWebBrowser::SetBrowserVisible(bool value) { SetDispatchProperty(kDispidVisible, value); }

void TWebBrowser::Navigate2(const std::string& address)
{
    const Bstr text(AnsiToWide(address));
    VARIANT url;
    VariantInit(&url);
    url.vt = VT_BSTR;
    url.bstrVal = text.get();
    VARIANT flags = IntegerVariant(0), target = IntegerVariant(0), postData = IntegerVariant(0),
            headers = IntegerVariant(0);
    Check(browser_->Navigate2(&url, &flags, &target, &postData, &headers), "Cannot open the address");
}

// --- TBrowserHost

TBrowserHost::TBrowserHost(TComponent* owner) : TWebBrowser(owner), downloadFlags_(kDefaultDownloadFlags) {}

void TBrowserHost::SetHostFlags(DWORD flags)
{
    if (flags == hostFlags_)
        return;
    hostFlags_ = flags;
    AmbientPropertyChanged(DISPID_AMBIENT_DLCONTROL);
}

bool TBrowserHost::AmbientProperty(DISPID id, VARIANT& value)
{
    if (id != DISPID_AMBIENT_DLCONTROL)
        return TWebBrowser::AmbientProperty(id, value);
    value.vt = VT_I4;
    value.lVal = static_cast<LONG>(downloadFlags_);
    return true;
}

HRESULT TBrowserHost::GetHostInfo(DOCHOSTUIINFO& info)
{
    if (info.cbSize < offsetof(DOCHOSTUIINFO, pchHostCss))
        return E_INVALIDARG;
    info.dwFlags = hostFlags_;
    info.dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
    return S_OK;
}

HRESULT TBrowserHost::CommandExec(const GUID* group, DWORD id, VARIANT* in, VARIANT* out)
{
    if (!group || *group != kDocHostCommandHandler)
        return OLECMDERR_E_UNKNOWNGROUP;
    if (id != OLECMDID_SHOWSCRIPTERROR)
        return OLECMDERR_E_NOTSUPPORTED;
    IUnknown* document = nullptr;
    if (in && (in->vt == VT_UNKNOWN || in->vt == VT_DISPATCH))
        document = in->punkVal;
    const std::wstring text = ScriptErrorText(document);
    bool continueScripts = false;
    if (OnPageScriptError)
        OnPageScriptError(this, text, continueScripts);
    if (out) {
        VariantClear(out);
        out->vt = VT_BOOL;
        out->boolVal = continueScripts ? VARIANT_TRUE : VARIANT_FALSE;
    }
    return S_OK;
}

bool TBrowserHost::PreTranslateKey(MSG& msg)
{
    return PassKeyToBrowser(msg.message, msg.wParam, msg.lParam) && TWebBrowser::PreTranslateKey(msg);
}
