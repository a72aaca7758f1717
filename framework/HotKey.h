#pragma once
// The platform's hot key field: it shows and takes a key with its modifiers.

#include "framework/Controls.h"

#include <commctrl.h>

// The field's own modifier bits.
enum THKModifier : unsigned { hkShift = HOTKEYF_SHIFT, hkCtrl = HOTKEYF_CONTROL, hkAlt = HOTKEYF_ALT, hkExt = HOTKEYF_EXT };
using THKModifiers = unsigned;

// Combinations the field refuses, and what it puts in their place.
enum THKInvalidKey : unsigned {
    hcNone = HKCOMB_NONE, hcShift = HKCOMB_S, hcCtrl = HKCOMB_C, hcAlt = HKCOMB_A,
    hcShiftCtrl = HKCOMB_SC, hcShiftAlt = HKCOMB_SA, hcCtrlAlt = HKCOMB_CA, hcShiftCtrlAlt = HKCOMB_SCA
};

class THotKey : public TWinControl {
public:
    explicit THotKey(TComponent* owner);

    // Read when the window is made. By default a key alone or with Shift alone
    // gets Alt, so that every combination the field takes can be a global hot key.
    bool TabStop = true;
    unsigned InvalidKeys = hcNone | hcShift;
    THKModifiers DefaultModifiers = hkAlt;

    // The virtual-key code, 0 when the field is empty.
    WORD Key() const;
    THKModifiers Modifiers() const;
    // A key above 255 is no key: the field becomes empty.
    void SetHotKey(int key, THKModifiers modifiers);

    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void KeepState() override;

private:
    WORD Value() const;

    WORD value_ = 0;  // key in the low byte, modifiers in the high byte
};
