#pragma once
// The web page inside a pinned page window: the platform's WebBrowser control,
// created in process and activated in place inside a window of ours.
//
//   TOleControl   hosts any in-process control object: one site object answers
//                 the container interfaces, the object's window follows ours,
//                 keys go to the object's accelerator handling first.
//   TWebBrowser   that host for the WebBrowser control, with its dispatch
//                 properties and Navigate2.
//   TBrowserHost  the document host on top: host flags, download flags, the
//                 script-error command and the keys the browser must not see.

#include "framework/Controls.h"
#include "framework/Handles.h"

#include <exdisp.h>
#include <mshtmhst.h>
#include <ole2.h>

#include <functional>
#include <string>

class TOleControlSite;

class TOleControl : public TWinControl {
public:
    // Makes the object and gives it its site; no window yet.
    TOleControl(TComponent* owner, const CLSID& classId);
    ~TOleControl() override;

    IOleObject* OleObject() const { return oleObject_.get(); }
    // The site the object was given, as the object sees it.
    IOleClientSite* ClientSite() const;
    // The window the object is told to live in: ours, or, while we have none,
    // one where it waits unseen.
    HWND SiteWindow() const;
    // The object's own window while it is active in place.
    HWND ControlWindow() const;
    bool InPlaceActive() const { return static_cast<bool>(inPlaceObject_); }

    // Sets a boolean property through the object's dispatch interface.
    void SetDispatchProperty(DISPID id, bool value);
    // Ends the set-up once the properties are set: from now on the object is
    // active in place whenever this control has a window.
    virtual void Loaded();

    // Called by the site on behalf of the object.
    virtual bool AmbientProperty(DISPID id, VARIANT& value);
    virtual bool AnswersDocumentHost() const { return false; }
    virtual HRESULT GetHostInfo(DOCHOSTUIINFO& info);
    virtual HRESULT CommandExec(const GUID* group, DWORD id, VARIANT* in, VARIANT* out);
    void SetActiveObject(IOleInPlaceActiveObject* active);
    void PlaceObject();

    // A key message aimed at this control's window or one inside it; true when
    // it was used up and must not be dispatched.
    virtual bool PreTranslateKey(MSG& msg);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void KeepState() override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // Tells the object that an ambient property has a new value.
    void AmbientPropertyChanged(DISPID id);

private:
    void Activate();
    void Deactivate();
    void Teardown() noexcept;

    // Released in the reverse order of these declarations, after Teardown has
    // deactivated and closed the object and cut the site loose.
    ComPtr<TOleControlSite> site_;
    ComPtr<IOleObject> oleObject_;
    ComPtr<IOleInPlaceObject> inPlaceObject_;
    ComPtr<IOleInPlaceActiveObject> activeObject_;
    bool loaded_ = false;
};

class TWebBrowser : public TOleControl {
public:
    explicit TWebBrowser(TComponent* owner);

    IWebBrowser2* DefaultInterface() const { return browser_.get(); }
    void SetRegisterAsBrowser(bool value);
    void SetBrowserVisible(bool value);
    // Navigate2 with the address; flags, target frame, post data and headers 0.
    void Navigate2(const std::string& address);

private:
    ComPtr<IWebBrowser2> browser_;
};

class TBrowserHost : public TWebBrowser {
public:
    explicit TBrowserHost(TComponent* owner);

    DWORD HostFlags() const { return hostFlags_; }
    void SetHostFlags(DWORD flags);
    DWORD DownloadFlags() const { return downloadFlags_; }

    void NavigateTo(const std::string& address) { Navigate2(address); }
    void ShowBlankPage() { NavigateTo("about:blank"); }

    // The page's script failed: the handler gets the error's description and
    // sets the flag to keep the page's scripts running.
    std::function<void(TBrowserHost* sender, const std::wstring& scriptErrorText, bool& continueScripts)>
        OnPageScriptError;

    bool AmbientProperty(DISPID id, VARIANT& value) override;
    bool AnswersDocumentHost() const override { return true; }
    HRESULT GetHostInfo(DOCHOSTUIINFO& info) override;
    HRESULT CommandExec(const GUID* group, DWORD id, VARIANT* in, VARIANT* out) override;
    bool PreTranslateKey(MSG& msg) override;

private:
    DWORD hostFlags_ = 0;
    DWORD downloadFlags_;
};

// Whether a key message goes to the browser's accelerator handling: key down,
// key up, character and dead character, except Backspace, Enter and the
// extended Left and Right arrows, which the browser's window must get as they are.
bool PassKeyToBrowser(UINT message, WPARAM key, LPARAM keyData);

// The description of the script error that the document's window holds in its
// current event; "Error" when any part of it cannot be read.
std::wstring ScriptErrorText(IUnknown* document);

// The control shows pages in its oldest mode unless the program asks for the
// current one: sets the user's browser emulation for the program file to 11001
// when it has none. True when the value is there afterwards.
bool SetBrowserEmulation(const std::string& programFileName);
