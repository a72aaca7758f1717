#pragma once
// The platform's list box with rows drawn by their owner, all of one height.

#include "framework/Controls.h"

#include <functional>
#include <string>
#include <vector>

class TListBox : public TWinControl {
public:
    explicit TListBox(TComponent* owner);

    // Read when the window is made.
    int ItemHeight = 16;

    // The rows' texts; the drawing decides what a row shows.
    void SetItems(std::vector<std::string> items);
    const std::vector<std::string>& Items() const { return items_; }
    int ItemIndex() const;
    void SetItemIndex(int index);

    // Draws row `index` into `rect`; `selected` when it is the chosen row.
    std::function<void(HDC dc, int index, const RECT& rect, bool selected)> OnDrawItem;
    std::function<void()> OnDblClick;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void KeepState() override;
    bool HandleReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void FillWindow();

    std::vector<std::string> items_;
    int itemIndex_ = -1;
};
