#pragma once
// Texts and lines on a form: the platform's static text with an accelerator, a
// label that paints itself and follows the mouse, and a bevel line.

#include "framework/Controls.h"

#include <functional>
#include <string>

// Its accelerator ("&M" in "New &Memo") moves the focus to FocusControl.
class TStaticText : public TWinControl {
public:
    explicit TStaticText(TComponent* owner);

    std::wstring Caption() const { return WideText(); }
    void SetCaption(const std::wstring& caption) { SetWideText(caption); }
    TWinControl* FocusControl = nullptr;

    bool DialogChar(char key) override;

protected:
    void CreateParams(TCreateParams& params) override;
};

// The size of a one-line text in a font; an accelerator's '&' takes no room.
SIZE TextExtent(const TFont& font, const std::wstring& text);

// True when the caption marks key (either case) as its accelerator with '&'.
bool IsAccel(char key, const std::wstring& caption);

// A one-line text in the colour of its font, sized to fit it.
class TLabel : public TCustomControl {
public:
    explicit TLabel(TComponent* owner);

    std::wstring Caption() const { return WideText(); }
    void SetCaption(const std::wstring& caption);
    // Shown over the label; the arrow when not set.
    HCURSOR Cursor = nullptr;

    std::function<void()> OnClick;
    std::function<void()> OnMouseEnter;
    std::function<void()> OnMouseLeave;

    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void Paint(HDC dc) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;

private:
    void AdjustBounds();
    bool pressed_ = false;
};

enum class TBevelShape { bsBox, bsTopLine, bsBottomLine };

// An etched line (or frame), as dialogs separate their parts.
class TBevel : public TCustomControl {
public:
    explicit TBevel(TComponent* owner);
    TBevelShape Shape = TBevelShape::bsBox;

protected:
    void CreateParams(TCreateParams& params) override;
    void Paint(HDC dc) override;
};
