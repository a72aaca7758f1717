// What the program's manifest tells the platform, read back the way the loader
// reads it: as the activation context of the module's manifest resource.

#include "framework/SysUtils.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

namespace {

// The activation context made from this test program's manifest, which is the
// program's own (the same resource script).
class ManifestContext {
public:
    ManifestContext()
    {
        const std::string module = ModuleFileName();
        ACTCTXA request{};
        request.cbSize = sizeof(request);
        request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
        request.lpSource = module.c_str();
        request.lpResourceName = MAKEINTRESOURCEA(1);
        context_ = CreateActCtxA(&request);
    }
    ~ManifestContext()
    {
        if (context_ != INVALID_HANDLE_VALUE)
            ReleaseActCtx(context_);
    }
    ManifestContext(const ManifestContext&) = delete;
    ManifestContext& operator=(const ManifestContext&) = delete;

    bool Valid() const { return context_ != INVALID_HANDLE_VALUE; }
    // A value of the windowsSettings element in the given namespace, or "" without one.
    std::wstring Setting(const wchar_t* ns, const wchar_t* name) const
    {
        wchar_t value[64] = {};
        SIZE_T written = 0;
        if (!QueryActCtxSettingsW(0, context_, ns, name, value, ARRAYSIZE(value), &written))
            return L"";
        return value;
    }

private:
    HANDLE context_ = INVALID_HANDLE_VALUE;
};

} // namespace

TEST(Manifest, DeclaresTheProgramDpiUnawareWithGdiScaling)
{
    const ManifestContext manifest;
    ASSERT_TRUE(manifest.Valid()) << "the loader refuses the manifest: " << SysErrorMessage(GetLastError());
    struct Case {
        const wchar_t* ns;
        const wchar_t* name;
        const wchar_t* value;
    };
    // Skins are pixel art and stored positions are pixels: the platform scales the
    // windows, and draws their text and lines again at the scale instead of stretching.
    const Case cases[] = {
        {L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware", L"false"},
        {L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness", L"unaware"},
        {L"http://schemas.microsoft.com/SMI/2017/WindowsSettings", L"gdiScaling", L"true"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(WideToUtf8(c.name));
        EXPECT_EQ(std::wstring(c.value), manifest.Setting(c.ns, c.name));
    }
}
