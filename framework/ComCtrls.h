#pragma once
// A flat toolbar that sets its controls out in rows, its tool buttons (bound to
// actions: picture, checked state, click) and the tooltips that show hints.

#include "framework/Controls.h"
#include "framework/Handles.h"

#include <functional>
#include <string>
#include <vector>

class TAction;
class TImageList;

enum class TToolButtonStyle { tbsButton, tbsSeparator };

class TToolButton : public TCustomControl {
public:
    explicit TToolButton(TComponent* owner);
    ~TToolButton() override;

    TToolButtonStyle Style = TToolButtonStyle::tbsButton;
    // A button after which the toolbar starts a new row.
    bool Wrap = false;

    TAction* Action() const { return action_; }
    void SetAction(TAction* action);
    int ImageIndex() const;
    bool Down() const;
    std::wstring Hint() const;
    TImageList* Images() const;

    // Runs the action (or OnClick for a button without one).
    void Click();
    std::function<void()> OnClick;

    bool Pressed() const { return pressed_; }

protected:
    void CreateParams(TCreateParams& params) override;
    void Paint(HDC dc) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;

private:
    TAction* action_ = nullptr;
    bool pressed_ = false;
};

class TToolBar : public TCustomControl {
public:
    explicit TToolBar(TComponent* owner);

    TImageList* Images = nullptr;
    int ButtonWidth = 23;
    int ButtonHeight = 22;
    int SeparatorWidth = 8;
    // A line along the bottom edge.
    bool BottomEdge = true;

    // A new button (or separator) at the end of the row being filled.
    TToolButton* AddButton(const std::string& name, TAction* action);
    TToolButton* AddSeparator();
    // The controls in the toolbar in their order (buttons and others such as panels).
    void AddControl(TWinControl* control, bool wrapAfter);

    // Sets the controls out in rows and takes the height they need.
    void Arrange();
    // The height the rows need.
    int RowsHeight() const;

protected:
    void CreateParams(TCreateParams& params) override;
    void Paint(HDC dc) override;
    void Resize() override;

private:
    struct Entry {
        TWinControl* control;
        bool wrapAfter;
    };
    std::vector<Entry> entries_;
};

// The tooltips of one window's controls, shown through the wide API so that the
// program's own texts read right in any code page.
class TToolTips : public TComponent {
public:
    explicit TToolTips(TComponent* owner);
    ~TToolTips() override;
    // Shows `text` over `control` (and over the field of a combo box), from the
    // next Rebuild on when the control has no window yet.
    void Add(TWinControl& control, const std::wstring& text);
    // Registers every control with a window again: a window made again is a new
    // window, and the tooltips of the old one went with it.
    void Rebuild();
    // The text shown over the window, empty when it has none.
    std::wstring TextOf(HWND wnd) const;
    HWND Handle() const { return tips_; }

private:
    void Register(TWinControl& control, const std::wstring& text);
    void AddWindow(HWND owner, HWND wnd, const std::wstring& text);
    bool TipsAlive() const;
    HWND tips_ = nullptr;
    std::vector<std::pair<TWinControl*, std::wstring>> tools_;
};
