#pragma once
// A tool-bar button split in two: the main part shows a glyph, a caption and a bar
// in the selected colour and clicks; the arrow part drops the colour grid down.

#include "controls/ColorPickerGlyph.h"
#include "controls/ColorPopup.h"
#include "framework/Controls.h"

#include <functional>
#include <string>

struct WindowRelease { void operator()(HWND h) const noexcept { DestroyWindow(h); } };
using UniqueWindow = UniqueHandle<HWND, WindowRelease>;

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TIndicatorBorder { ibNone, ibFlat, ibSunken, ibRaised };

// Where glyph, caption and colour bar go inside the button's face.
struct TButtonGeometry {
    POINT GlyphPos{};
    RECT TextBounds{};
    RECT IndicatorRect{};
};
struct TButtonLayoutInput {
    RECT Face{};             // the button's rectangle inside its frame
    POINT Offset{};          // (1, 1) while pressed
    SIZE Glyph{};            // one image, (0, 0) without a glyph
    SIZE Text{};             // the caption on one line, (0, 0) without one
    TButtonLayout Layout = blGlyphLeft;
    int Margin = -1;
    int Spacing = 4;
    int DropDownWidth = 15;
    bool RightToLeft = false;
};
TButtonGeometry CalcButtonLayout(const TButtonLayoutInput& in);

class TColorPickerButton : public TCustomControl {
public:
    explicit TColorPickerButton(TComponent* owner);
    ~TColorPickerButton() override;

    TColor SelectionColor() const { return selectionColor_; }
    void SetSelectionColor(TColor color);

    TColorPopup& Popup() { return *popup_; }
    // The hidden window that holds the mouse while the grid is down, made when
    // first needed: most buttons never drop their grid down.
    HWND CaptureWindow();

    const std::wstring& CustomText() const { return popup_->CustomText(); }
    void SetCustomText(const std::wstring& text);
    const std::wstring& DefaultText() const { return popup_->DefaultText(); }
    void SetDefaultText(const std::wstring& text);
    bool ShowSystemColors() const { return popup_->ShowSystemColors(); }
    void SetShowSystemColors(bool show);
    int PopupSpacing() const { return popup_->Spacing(); }
    void SetPopupSpacing(int spacing) { popup_->SetSpacing(spacing); }

    std::wstring Caption() const { return WideText(); }
    void SetCaption(const std::wstring& caption);
    // The glyph is copied.
    void SetGlyph(HBITMAP glyph) { glyph_.SetGlyph(glyph); }
    const TButtonGlyph& Glyph() const { return glyph_; }
    int NumGlyphs() const { return glyph_.NumGlyphs(); }
    void SetNumGlyphs(int count) { glyph_.SetNumGlyphs(count); }

    bool Down() const { return down_; }
    void SetDown(bool down);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int index);
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool allow);

    bool Flat() const { return flat_; }
    void SetFlat(bool flat);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent);
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout layout);
    int Margin() const { return margin_; }
    void SetMargin(int margin);
    int Spacing() const { return spacing_; }
    void SetSpacing(int spacing);
    int DropDownWidth() const { return dropDownWidth_; }
    void SetDropDownWidth(int width);
    TColor DropDownArrowColor() const { return dropDownArrowColor_; }
    void SetDropDownArrowColor(TColor color);
    TIndicatorBorder IndicatorBorder() const { return indicatorBorder_; }
    void SetIndicatorBorder(TIndicatorBorder border);

    TButtonState ButtonState() const { return state_; }
    bool MouseInControl() const { return mouseInControl_; }
    bool Dragging() const { return dragging_; }
    bool ArrowPressed() const { return arrowPressed_; }
    bool DroppedDown() const { return droppedDown_; }
    void SetDroppedDown(bool value);

    // Where the last paint put the glyph and the colour bar.
    POINT GlyphPos() const { return geometry_.GlyphPos; }
    RECT IndicatorRect() const { return geometry_.IndicatorRect; }

    // A dialog character (Alt + letter) offered to the button; true when it was
    // the caption's accelerator and the button clicked.
    bool DialogChar(char key);
    virtual void Click();
    // Called by the grid when its default cell (or no cell) is accepted.
    virtual void DefaultSelect();

    std::wstring Hint;
    bool ShowHint = false;

    std::function<void(TColorPickerButton* sender)> OnChange;
    std::function<void(TColorPickerButton* sender)> OnClick;
    std::function<void(TColorPickerButton* sender)> OnDblClick;
    std::function<void(TColorPickerButton* sender)> OnDefaultSelect;
    std::function<void(TColorPickerButton* sender)> OnDropChanged;
    std::function<void(TColorPickerButton* sender, bool& allowed)> OnDropChanging;
    std::function<void(TColorPickerButton* sender, int cell, std::wstring& hint)> OnHint;

    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void Paint(HDC dc) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;

private:
    static LRESULT CALLBACK CaptureWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
    LRESULT RouteToPopup(UINT msg, WPARAM wParam, LPARAM lParam);
    void PopupTextsChanged();
    void UpdateExclusive();
    void GroupButtonPressed(TColorPickerButton* pressed);
    void UpdateMouseInControl();
    void PaintFrame(HDC dc, RECT& r);
    void PaintSeparator(HDC dc, bool pressed);
    void PaintIndicator(HDC dc);
    void PaintArrow(HDC dc);
    void SetState(TButtonState state);

    TColor selectionColor_ = clBlack;
    TColorPopup* popup_;
    UniqueWindow captureWindow_;
    TButtonGlyph glyph_;
    TButtonGeometry geometry_;

    TButtonState state_ = bsUp;
    bool down_ = false;
    int groupIndex_ = 0;
    bool allowAllUp_ = false;
    bool flat_ = false;
    bool transparent_ = true;
    TButtonLayout layout_ = blGlyphLeft;
    int margin_ = -1;
    int spacing_ = 4;
    int dropDownWidth_ = 15;
    TColor dropDownArrowColor_ = clBlack;
    TIndicatorBorder indicatorBorder_ = ibFlat;

    bool mouseInControl_ = false;
    bool dragging_ = false;
    bool arrowPressed_ = false;
    bool droppedDown_ = false;
};

// Buttons alive in this process.
int ColorPickerButtonCount();
