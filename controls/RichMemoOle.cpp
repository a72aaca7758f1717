// What the rich text editor answers the platform about embedded objects.

#include "controls/RichMemo.h"

STDMETHODIMP TRichEditOleCallback::QueryInterface(REFIID iid, void** object) noexcept
{
    if (!object)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IRichEditOleCallback)) {
        *object = static_cast<IRichEditOleCallback*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) TRichEditOleCallback::AddRef() noexcept { return ++refCount_; }

STDMETHODIMP_(ULONG) TRichEditOleCallback::Release() noexcept
{
    return refCount_ > 0 ? --refCount_ : 0;
}

// Each new object gets a compound file in memory, freed with the storage.
STDMETHODIMP TRichEditOleCallback::GetNewStorage(LPSTORAGE* storage) noexcept
{
    if (!storage)
        return E_INVALIDARG;
    *storage = nullptr;
    ComPtr<ILockBytes> bytes;
    if (FAILED(CreateILockBytesOnHGlobal(nullptr, TRUE, bytes.put())) || !bytes)
        return E_OUTOFMEMORY;
    if (FAILED(StgCreateDocfileOnILockBytes(bytes.get(), STGM_SHARE_EXCLUSIVE | STGM_READWRITE | STGM_CREATE,
                                            0, storage))) {
        *storage = nullptr;
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

STDMETHODIMP TRichEditOleCallback::GetInPlaceContext(LPOLEINPLACEFRAME* frame, LPOLEINPLACEUIWINDOW* doc,
                                                     LPOLEINPLACEFRAMEINFO) noexcept
{
    if (frame)
        *frame = nullptr;
    if (doc)
        *doc = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP TRichEditOleCallback::ShowContainerUI(BOOL) noexcept { return E_NOTIMPL; }

STDMETHODIMP TRichEditOleCallback::QueryInsertObject(LPCLSID, LPSTORAGE, LONG) noexcept { return S_OK; }

STDMETHODIMP TRichEditOleCallback::DeleteObject(LPOLEOBJECT object) noexcept
{
    if (object)
        object->Close(OLECLOSE_NOSAVE);
    return S_OK;
}

STDMETHODIMP TRichEditOleCallback::QueryAcceptData(LPDATAOBJECT, CLIPFORMAT*, DWORD, BOOL, HGLOBAL) noexcept
{
    return S_OK;
}

STDMETHODIMP TRichEditOleCallback::ContextSensitiveHelp(BOOL) noexcept { return S_OK; }

STDMETHODIMP TRichEditOleCallback::GetClipboardData(CHARRANGE*, DWORD, LPDATAOBJECT* data) noexcept
{
    if (data)
        *data = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP TRichEditOleCallback::GetDragDropEffect(BOOL, DWORD, LPDWORD) noexcept { return E_NOTIMPL; }

STDMETHODIMP TRichEditOleCallback::GetContextMenu(WORD, LPOLEOBJECT, CHARRANGE*, HMENU* menu) noexcept
{
    if (menu)
        *menu = nullptr;
    return E_NOTIMPL;
}
