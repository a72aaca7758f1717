#include "notes/BrowserHostSite.h"

#include "framework/Application.h"
#include "framework/Forms.h"
#include "framework/SysUtils.h"

namespace {

// No exception may unwind into the control: a failing handler is reported the
// way every handler's failure is, and the control is told the call failed.
template <typename Call>
HRESULT Guarded(Call call) noexcept
{
    try {
        return call();
    } catch (const std::exception& e) {
        Application.HandleException(e);
    } catch (...) {
        Application.HandleException(Exception("Unexpected error"));
    }
    return E_FAIL;
}

template <typename T>
HRESULT ClearOut(T** out, HRESULT result)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    return result;
}

} // namespace

HRESULT TOleControlSite::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleClientSite)
        *object = static_cast<IOleClientSite*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
        *object = static_cast<IOleInPlaceSite*>(this);
    else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame)
        *object = static_cast<IOleInPlaceFrame*>(this);
    else if (iid == IID_IDispatch)
        *object = static_cast<IDispatch*>(this);
    else if (control_ && control_->AnswersDocumentHost() && iid == IID_IDocHostUIHandler)
        *object = static_cast<IDocHostUIHandler*>(this);
    else if (control_ && control_->AnswersDocumentHost() && iid == IID_IOleCommandTarget)
        *object = static_cast<IOleCommandTarget*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG TOleControlSite::AddRef() { return ++references_; }

ULONG TOleControlSite::Release()
{
    const ULONG left = --references_;
    if (left == 0)
        delete this;
    return left;
}

// --- IOleClientSite

HRESULT TOleControlSite::SaveObject() { return E_NOTIMPL; }
HRESULT TOleControlSite::GetMoniker(DWORD, DWORD, IMoniker** moniker) { return ClearOut(moniker, E_NOTIMPL); }
HRESULT TOleControlSite::GetContainer(IOleContainer** container) { return ClearOut(container, E_NOINTERFACE); }
HRESULT TOleControlSite::ShowObject() { return control_ ? S_OK : E_UNEXPECTED; }
HRESULT TOleControlSite::OnShowWindow(BOOL) { return S_OK; }
HRESULT TOleControlSite::RequestNewObjectLayout() { return E_NOTIMPL; }

// --- IOleWindow

HRESULT TOleControlSite::GetWindow(HWND* wnd)
{
    if (!wnd)
        return E_POINTER;
    *wnd = control_ ? control_->SiteWindow() : nullptr;
    return *wnd ? S_OK : E_UNEXPECTED;
}

HRESULT TOleControlSite::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

// --- IOleInPlaceSite

HRESULT TOleControlSite::CanInPlaceActivate() { return control_ && control_->HandleAllocated() ? S_OK : S_FALSE; }
HRESULT TOleControlSite::OnInPlaceActivate() { return control_ ? S_OK : E_UNEXPECTED; }
HRESULT TOleControlSite::OnUIActivate() { return control_ ? S_OK : E_UNEXPECTED; }

HRESULT TOleControlSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                          LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO info)
{
    if (!frame || !document || !position || !clip || !info)
        return E_POINTER;
    *frame = nullptr;
    *document = nullptr;
    if (!control_ || !control_->HandleAllocated())
        return E_UNEXPECTED;
    AddRef();
    *frame = this;
    *position = control_->ClientRect();
    *clip = *position;
    TForm* form = control_->ParentForm();
    info->cb = sizeof(OLEINPLACEFRAMEINFO);
    info->fMDIApp = FALSE;
    info->hwndFrame = form ? form->Handle() : control_->Handle();
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
}

HRESULT TOleControlSite::Scroll(SIZE) { return E_NOTIMPL; }
HRESULT TOleControlSite::OnUIDeactivate(BOOL) { return S_OK; }
HRESULT TOleControlSite::OnInPlaceDeactivate() { return S_OK; }
HRESULT TOleControlSite::DiscardUndoState() { return E_NOTIMPL; }
HRESULT TOleControlSite::DeactivateAndUndo() { return E_NOTIMPL; }

HRESULT TOleControlSite::OnPosRectChange(LPCRECT)
{
    // The object stays at the top-left corner of our window, filling it,
    // whatever size it asks for.
    if (!control_)
        return E_UNEXPECTED;
    return Guarded([this] {
        control_->PlaceObject();
        return S_OK;
    });
}

// --- IOleInPlaceUIWindow, IOleInPlaceFrame

HRESULT TOleControlSite::GetBorder(LPRECT) { return INPLACE_E_NOTOOLSPACE; }
HRESULT TOleControlSite::RequestBorderSpace(LPCBORDERWIDTHS) { return INPLACE_E_NOTOOLSPACE; }
HRESULT TOleControlSite::SetBorderSpace(LPCBORDERWIDTHS) { return INPLACE_E_NOTOOLSPACE; }

HRESULT TOleControlSite::SetActiveObject(IOleInPlaceActiveObject* active, LPCOLESTR)
{
    if (!control_)
        return E_UNEXPECTED;
    control_->SetActiveObject(active);
    return S_OK;
}

HRESULT TOleControlSite::InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) { return E_NOTIMPL; }
HRESULT TOleControlSite::SetMenu(HMENU, HOLEMENU, HWND) { return S_OK; }
HRESULT TOleControlSite::RemoveMenus(HMENU) { return E_NOTIMPL; }
HRESULT TOleControlSite::SetStatusText(LPCOLESTR) { return S_OK; }
HRESULT TOleControlSite::EnableModeless(BOOL) { return S_OK; }
HRESULT TOleControlSite::TranslateAccelerator(LPMSG, WORD) { return S_FALSE; }

// --- IDispatch

HRESULT TOleControlSite::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT TOleControlSite::GetTypeInfo(UINT, LCID, ITypeInfo** info) { return ClearOut(info, E_NOTIMPL); }
HRESULT TOleControlSite::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

HRESULT TOleControlSite::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                                UINT*)
{
    if (!control_)
        return E_UNEXPECTED;
    if (!(flags & DISPATCH_PROPERTYGET) || !result)
        return DISP_E_MEMBERNOTFOUND;
    return Guarded([&] {
        VariantInit(result);
        return control_->AmbientProperty(id, *result) ? S_OK : DISP_E_MEMBERNOTFOUND;
    });
}

// --- IDocHostUIHandler

HRESULT TOleControlSite::ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) { return S_FALSE; }

HRESULT TOleControlSite::GetHostInfo(DOCHOSTUIINFO* info)
{
    if (!info)
        return E_POINTER;
    if (!control_)
        return E_UNEXPECTED;
    return Guarded([&] { return control_->GetHostInfo(*info); });
}

HRESULT TOleControlSite::ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                                IOleInPlaceUIWindow*)
{
    return S_FALSE;
}

HRESULT TOleControlSite::HideUI() { return S_OK; }
HRESULT TOleControlSite::UpdateUI() { return S_OK; }
HRESULT TOleControlSite::OnDocWindowActivate(BOOL) { return S_OK; }
HRESULT TOleControlSite::OnFrameWindowActivate(BOOL) { return S_OK; }
HRESULT TOleControlSite::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return S_OK; }
HRESULT TOleControlSite::TranslateAccelerator(LPMSG, const GUID*, DWORD) { return S_FALSE; }
HRESULT TOleControlSite::GetOptionKeyPath(LPOLESTR* key, DWORD) { return ClearOut(key, E_NOTIMPL); }
HRESULT TOleControlSite::GetDropTarget(IDropTarget*, IDropTarget** target) { return ClearOut(target, E_NOTIMPL); }
HRESULT TOleControlSite::GetExternal(IDispatch** external) { return ClearOut(external, E_NOTIMPL); }
HRESULT TOleControlSite::TranslateUrl(DWORD, LPWSTR, LPWSTR* out) { return ClearOut(out, S_FALSE); }
HRESULT TOleControlSite::FilterDataObject(IDataObject*, IDataObject** out) { return ClearOut(out, S_FALSE); }

// --- IOleCommandTarget

HRESULT TOleControlSite::QueryStatus(const GUID*, ULONG, OLECMD[], OLECMDTEXT*) { return OLECMDERR_E_UNKNOWNGROUP; }

HRESULT TOleControlSite::Exec(const GUID* group, DWORD id, DWORD, VARIANT* in, VARIANT* out)
{
    if (!control_)
        return E_UNEXPECTED;
    return Guarded([&] { return control_->CommandExec(group, id, in, out); });
}
