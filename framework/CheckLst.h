#pragma once
// The platform's list box with a check box in front of every row's text.
//
// The rows (texts and marks) live in this object and the window mirrors them, so
// they survive a re-creation of the window. A click on a row's check box or the
// space bar on the selected row toggles its mark.

#include "framework/Controls.h"

#include <functional>
#include <string>
#include <vector>

class TCheckListBox : public TWinControl {
public:
    explicit TCheckListBox(TComponent* owner);

    // Read when the window is made.
    int ItemHeight = 16;
    bool TabStop = true;

    int Count() const { return static_cast<int>(items_.size()); }
    const std::string& Items(int index) const { return items_.at(static_cast<size_t>(index)); }
    void Add(const std::string& text);
    // Many rows at once, drawn once at the end.
    void AddItems(const std::vector<std::string>& texts);
    void Delete(int index);
    void Clear();

    bool Checked(int index) const { return checked_.at(static_cast<size_t>(index)); }
    // Changes the mark without OnClickCheck: only the user's toggles report.
    void SetChecked(int index, bool checked);

    // The selected row, or -1.
    int ItemIndex() const;
    void SetItemIndex(int index);
    // The row's rectangle in client coordinates (empty when it has no window).
    RECT ItemRect(int index) const;
    // Width of the column that holds the check boxes.
    static int CheckColumnWidth();

    // The selection changed by mouse or keyboard.
    std::function<void()> OnClick;
    std::function<void()> OnDblClick;
    // The user toggled a row's mark.
    std::function<void(int index)> OnClickCheck;

    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    bool HandleReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void DrawItem(const DRAWITEMSTRUCT& item);
    void Toggle(int index);
    void InvalidateItem(int index);
    // The row whose check box holds the client point, or -1.
    int CheckBoxAt(int x, int y) const;
    void FillWindow();

    std::vector<std::string> items_;
    std::vector<bool> checked_;
    int savedIndex_ = -1;
};
