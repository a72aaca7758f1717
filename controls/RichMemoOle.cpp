// What the rich text editor answers the platform about embedded objects.

#include "controls/RichMemo.h"

#include "controls/RichMemoPictures.h"
#include "controls/RtfObjects.h"

#include <algorithm>
#include <cstring>

namespace {

CLIPFORMAT Registered(const char* name) { return static_cast<CLIPFORMAT>(RegisterClipboardFormatA(name)); }
CLIPFORMAT RichTextFormat()
{
    static const CLIPFORMAT format = Registered("Rich Text Format");
    return format;
}
CLIPFORMAT RichTextWithoutObjectsFormat()
{
    static const CLIPFORMAT format = Registered("Rich Text Format Without Objects");
    return format;
}
bool IsRichText(CLIPFORMAT format) { return format == RichTextFormat() || format == RichTextWithoutObjectsFormat(); }

DWORD MediumOf(CLIPFORMAT format)
{
    switch (format) {
    case CF_ENHMETAFILE: return TYMED_ENHMF;
    case CF_METAFILEPICT: return TYMED_MFPICT;
    case CF_BITMAP: return TYMED_GDI;
    default: return TYMED_HGLOBAL;
    }
}

FORMATETC FormatOf(CLIPFORMAT format) { return {format, nullptr, DVASPECT_CONTENT, -1, MediumOf(format)}; }

// The bytes of a text format, up to its terminating zero.
std::string TextOf(IDataObject& data, CLIPFORMAT format)
{
    FORMATETC wanted = FormatOf(format);
    STGMEDIUM medium{};
    if (FAILED(data.GetData(&wanted, &medium)))
        return {};
    std::string text;
    if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal) {
        if (const auto* bytes = static_cast<const char*>(GlobalLock(medium.hGlobal))) {
            const size_t size = GlobalSize(medium.hGlobal);
            text.assign(bytes, std::find(bytes, bytes + size, '\0'));
            GlobalUnlock(medium.hGlobal);
        }
    }
    ReleaseStgMedium(&medium);
    return text;
}

struct RichTextSource {
    std::string_view rest;
};

DWORD CALLBACK ReadRichText(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* count) noexcept
{
    auto& source = *reinterpret_cast<RichTextSource*>(cookie);
    const size_t n = std::min(source.rest.size(), static_cast<size_t>(std::max<LONG>(size, 0)));
    std::memcpy(buffer, source.rest.data(), n);
    source.rest.remove_prefix(n);
    *count = static_cast<LONG>(n);
    return 0;
}

// The pictures a memo takes: the platform makes them static objects of these classes,
// or (Wine's editor, for a picture it reads) of no class at all, which no server
// could serve.
bool IsStaticPicture(const CLSID& clsid)
{
    for (const CLSID* picture : {&CLSID_NULL, &CLSID_StaticMetafile, &CLSID_StaticDib, &CLSID_Picture_Metafile,
                                 &CLSID_Picture_EnhMetafile, &CLSID_Picture_Dib})
        if (IsEqualCLSID(clsid, *picture))
            return true;
    return false;
}

} // namespace

CLIPFORMAT AcceptedPasteFormat(CLIPFORMAT requested, const std::function<bool(CLIPFORMAT)>& offered)
{
    // Rich text first, as it keeps the most; plain text before a picture of it; a
    // dropped file only when it is an image (which the offer says).
    const CLIPFORMAT accepted[] = {RichTextFormat(), RichTextWithoutObjectsFormat(), CF_UNICODETEXT, CF_TEXT,
                                   CF_ENHMETAFILE, CF_DIB, CF_BITMAP, CF_METAFILEPICT, PngFormat(), JpegFormat(),
                                   CF_HDROP};
    for (CLIPFORMAT format : accepted)
        if ((requested == 0 || requested == format) && offered(format))
            return format;
    return 0;
}

bool TCustomRichMemo::PasteWithoutObjects()
{
    ComPtr<IDataObject> data;
    if (FAILED(OleGetClipboard(data.put())) || !data)
        return false;
    CLIPFORMAT format = 0;
    // S_OK leaves text to the platform; anything else was brought in or refused.
    return oleCallback_.QueryAcceptData(data.get(), &format, RECO_PASTE, TRUE, nullptr) != S_OK;
}

void TCustomRichMemo::InsertRichText(const std::string& rtf)
{
    HandleNeeded();
    const std::string document = StripRtfObjects(rtf);
    RichTextSource source{document};
    EDITSTREAM record{reinterpret_cast<DWORD_PTR>(&source), 0, ReadRichText};
    Send(EM_STREAMIN, SF_RTF | SFF_SELECTION, reinterpret_cast<LPARAM>(&record));
    Send(EM_SETMODIFY, TRUE);
}

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

STDMETHODIMP TRichEditOleCallback::QueryInsertObject(LPCLSID clsid, LPSTORAGE, LONG) noexcept
{
    return clsid && IsStaticPicture(*clsid) ? S_OK : E_FAIL;
}

STDMETHODIMP TRichEditOleCallback::DeleteObject(LPOLEOBJECT object) noexcept
{
    if (object)
        object->Close(OLECLOSE_NOSAVE);
    return S_OK;
}

// Text is left to the platform in the format chosen here. Rich text and pictures are
// brought in here, as rich text without objects: the platform would make every object
// rich text holds, and pictures it makes itself differ between its versions (S_FALSE
// tells it the data is in).
STDMETHODIMP TRichEditOleCallback::QueryAcceptData(LPDATAOBJECT data, CLIPFORMAT* format, DWORD, BOOL really,
                                                   HGLOBAL) noexcept
{
    if (!data || !format)
        return E_INVALIDARG;
    try {
        const auto offers = [data](CLIPFORMAT offered) {
            FORMATETC wanted = FormatOf(offered);
            return data->QueryGetData(&wanted) == S_OK && (offered != CF_HDROP || OffersImageFile(*data));
        };
        const CLIPFORMAT requested = *format;
        const CLIPFORMAT chosen = AcceptedPasteFormat(requested, offers);
        const bool text = chosen == CF_UNICODETEXT || chosen == CF_TEXT;
        if (chosen == 0 || (!text && !editor_))
            return E_FAIL;
        *format = chosen;
        if (!really || text)
            return S_OK;
        if (editor_->ReadOnly())
            return E_FAIL;
        std::optional<std::string> rtf = IsRichText(chosen) ? TextOf(*data, chosen) : PictureRtf(*data, chosen);
        // A picture offered in a form that cannot be had (a clipboard's own conversion
        // can fail) may come in another.
        for (CLIPFORMAT other : {CF_BITMAP, CF_DIB, CF_ENHMETAFILE, CF_METAFILEPICT})
            if (!rtf && requested == 0 && !IsRichText(chosen) && other != chosen && offers(other))
                rtf = PictureRtf(*data, other);
        if (!rtf)
            return E_FAIL;
        editor_->InsertRichText(*rtf);
        return S_FALSE;
    } catch (...) {
        return E_FAIL;
    }
}

STDMETHODIMP TRichEditOleCallback::ContextSensitiveHelp(BOOL) noexcept { return S_OK; }

STDMETHODIMP TRichEditOleCallback::GetClipboardData(CHARRANGE*, DWORD, LPDATAOBJECT* data) noexcept
{
    if (data)
        *data = nullptr;
    return E_NOTIMPL;
}

// A dropped link would make a linked object: copy or move only.
STDMETHODIMP TRichEditOleCallback::GetDragDropEffect(BOOL, DWORD, LPDWORD effect) noexcept
{
    if (!effect)
        return E_INVALIDARG;
    *effect &= ~static_cast<DWORD>(DROPEFFECT_LINK);
    return S_OK;
}

STDMETHODIMP TRichEditOleCallback::GetContextMenu(WORD, LPOLEOBJECT, CHARRANGE*, HMENU* menu) noexcept
{
    if (menu)
        *menu = nullptr;
    return E_NOTIMPL;
}
