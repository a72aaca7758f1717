#include "framework/Ime.h"

#include <windows.h>
#include <imm.h>

#include <vector>

bool RequestInputMethod(const std::wstring& description)
{
    const int count = GetKeyboardLayoutList(0, nullptr);
    if (count <= 0)
        return false;
    std::vector<HKL> layouts(static_cast<size_t>(count));
    layouts.resize(static_cast<size_t>(GetKeyboardLayoutList(count, layouts.data())));
    for (HKL layout : layouts) {
        if (!ImmIsIME(layout))
            continue;
        const UINT length = ImmGetDescriptionW(layout, nullptr, 0);
        std::wstring name(length + 1, L'\0');
        name.resize(ImmGetDescriptionW(layout, name.data(), length + 1));
        if (name == description)
            return ActivateKeyboardLayout(layout, 0) != nullptr;
    }
    return false;
}
