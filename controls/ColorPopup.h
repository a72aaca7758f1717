#pragma once
// The window that drops down under a colour picker button: default cell, 40 named
// colours, optional system colours, custom cell and, while the custom cell is
// chosen, the colour comb with its grey row and intensity bar.

#include "controls/ColorPopupGeometry.h"
#include "framework/Controls.h"

#include <string>

class TColorPickerButton;

// A hint the grid wants shown: its text, the screen point to show it at, the client
// area it belongs to (moving out of it asks again) and how long it stays (0: until
// the area is left).
struct TPopupHint {
    std::wstring Text;
    POINT ScreenPos{};
    RECT Area{};
    UINT HideAfterMs = 0;
};

class TColorPopup : public TCustomControl {
public:
    TColorPopup(TComponent* owner, TColorPickerButton* button);
    ~TColorPopup() override;

    const std::wstring& DefaultText() const { return defaultText_; }
    void SetDefaultText(const std::wstring& text);
    const std::wstring& CustomText() const { return customText_; }
    void SetCustomText(const std::wstring& text);
    bool ShowSystemColors() const { return showSystemColors_; }
    void SetShowSystemColors(bool show);
    int Spacing() const { return spacing_; }
    void SetSpacing(int spacing);

    // Recomputes the geometry and gives the window its grid size.
    void LayoutPopup();
    // Places the window under (or above) the button and shows it.
    void ShowPopup();
    // Marks the cell or hexagon that shows this colour.
    void SelectColor(TColor color);
    void SetHover(int index);
    void SelectCell(int index);
    // Hands the choice to the button (unless cancelled) and closes the drop-down.
    void CloseUp(bool cancel);

    const TPopupLayout& Layout() const { return layout_; }
    int EdgeWidth() const { return edgeWidth_; }
    int HoverIndex() const { return hoverIndex_; }
    int SelectedIndex() const { return selectedIndex_; }
    int CombSelection() const { return combSelection_; }
    int DragMode() const { return dragMode_; }
    double Intensity() const { return intensity_; }
    const TCombArray& ColourComb();
    const TCombArray& GreyComb();
    // The colour of the hexagon in CombSelection (0 with none).
    COLORREF CombSelectionColour();

    // The hint for a client point, or false for none.
    bool HintAt(int x, int y, bool leftHeld, TPopupHint& hint);
    // A key while the grid is open; true when it used it.
    bool HandleKey(WORD key, TShiftState shift);

    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void Paint(HDC dc) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    void BuildComb();
    bool HandleComb(int x, int y, bool leftHeld);
    void SetCombSelection(int selection);
    void InvalidateCell(int index);
    void InvalidateCombArea();
    void UpdateHint(int x, int y, bool leftHeld);
    void HideHint();

    void PaintCell(HDC dc, int index);
    void PaintCellFrame(HDC dc, int index, RECT r);
    void PaintComb(HDC dc);
    void PaintIntensityBar(HDC dc);
    POINT HexCentre(int combSelection) const;
    int HexSizeOf(int combSelection) const;

    TColorPickerButton* button_;
    std::wstring defaultText_, customText_;
    bool showSystemColors_ = false;
    int spacing_ = 8;
    int edgeWidth_;
    TPopupLayout layout_;

    int hoverIndex_ = NoCell;
    int selectedIndex_ = NoCell;
    int combSelection_ = 0;
    int dragMode_ = 0;
    double intensity_ = 1.0;
    bool leftDown_ = false;
    TColor selectedColor_ = clNone;
    TCombArray colourComb_, greyComb_;

    HWND tooltip_ = nullptr;  // a child of ours, destroyed with the window
    std::wstring hintText_;
    RECT hintArea_{};
};
