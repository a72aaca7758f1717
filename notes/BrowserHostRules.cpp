// The browser host's rules that need no window: which keys the browser sees
// first, how a script error is described, the browser emulation setting.
#include "notes/BrowserHost.h"

#include "framework/Handles.h"
#include "framework/SysUtils.h"

#include <optional>

namespace {

constexpr LPARAM kExtendedKey = LPARAM{1} << 24;


// A property read by name through late binding, as converted to `type`.
std::optional<VARIANT> ReadProperty(IDispatch* object, const wchar_t* name, VARTYPE type)
{
    if (!object)
        return std::nullopt;
    DISPID id = DISPID_UNKNOWN;
    auto* names = const_cast<LPOLESTR>(name);
    if (FAILED(object->GetIDsOfNames(IID_NULL, &names, 1, LOCALE_USER_DEFAULT, &id)))
        return std::nullopt;
    VARIANT value;
    VariantInit(&value);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    if (FAILED(object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &value, nullptr,
                              nullptr)))
        return std::nullopt;
    const HRESULT converted = VariantChangeType(&value, &value, 0, type);
    if (FAILED(converted) || (type == VT_DISPATCH && !value.pdispVal)) {
        VariantClear(&value);
        return std::nullopt;
    }
    return value;
}

ComPtr<IDispatch> ReadObject(IDispatch* object, const wchar_t* name)
{
    ComPtr<IDispatch> result;
    if (auto value = ReadProperty(object, name, VT_DISPATCH))
        result.attach(value->pdispVal);
    return result;
}

std::optional<std::wstring> ReadText(IDispatch* object, const wchar_t* name)
{
    auto value = ReadProperty(object, name, VT_BSTR);
    if (!value)
        return std::nullopt;
    std::wstring text(value->bstrVal ? value->bstrVal : L"", SysStringLen(value->bstrVal));
    VariantClear(&*value);
    return text;
}

std::optional<std::wstring> ReadNumber(IDispatch* object, const wchar_t* name)
{
    auto value = ReadProperty(object, name, VT_I4);
    if (!value)
        return std::nullopt;
    return std::to_wstring(value->lVal);
}

// A registry key of ours, closed when it goes.
struct RegKeyRelease {
    void operator()(HKEY key) const noexcept { RegCloseKey(key); }
};
using UniqueRegKey = UniqueHandle<HKEY, RegKeyRelease>;

const char kEmulationKey[] =
    "Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION";
// The engine's newest mode, whatever the page declares.
constexpr DWORD kNewestEmulation = 11001;

} // namespace

bool PassKeyToBrowser(UINT message, WPARAM key, LPARAM keyData)
{
    if (message != WM_KEYDOWN && message != WM_KEYUP && message != WM_CHAR && message != WM_DEADCHAR)
        return false;
    if (key == VK_BACK || key == VK_RETURN)
        return false;
    return !((key == VK_LEFT || key == VK_RIGHT) && (keyData & kExtendedKey));
}

std::wstring ScriptErrorText(IUnknown* document)
{
    ComPtr<IDispatch> page;
    if (!document || FAILED(document->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(page.put()))))
        return L"Error";
    const ComPtr<IDispatch> window = ReadObject(page.get(), L"parentWindow");
    const ComPtr<IDispatch> event = ReadObject(window.get(), L"event");
    const auto line = ReadNumber(event.get(), L"errorline");
    const auto character = ReadNumber(event.get(), L"errorCharacter");
    const auto code = ReadNumber(event.get(), L"errorCode");
    const auto message = ReadText(event.get(), L"errorMessage");
    const auto url = ReadText(event.get(), L"errorUrl");
    if (!line || !character || !code || !message || !url)
        return L"Error";
    return L"  줄: " + *line + L"\r" + L"문자: " + *character + L"\r" + L"오류: " + *message + L"\r" + L"코드: " + *code +
           L"\r" + L"URL: " + *url;
}

bool SetBrowserEmulation(const std::string& programFileName)
{
    HKEY opened = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kEmulationKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                        &opened, nullptr) != ERROR_SUCCESS)
        return false;
    const UniqueRegKey key(opened);
    // A value the user or an installer put there is theirs.
    if (RegQueryValueExA(key.get(), programFileName.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
        return true;
    const DWORD mode = kNewestEmulation;
    return RegSetValueExA(key.get(), programFileName.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&mode),
                          sizeof(mode)) == ERROR_SUCCESS;
}
