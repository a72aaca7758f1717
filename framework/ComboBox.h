#pragma once
// The platform's combo box with an editable field and a drop-down list.

#include "framework/Controls.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TComboBox : public TWinControl {
public:
    explicit TComboBox(TComponent* owner);

    // The list survives re-creation of the window.
    const std::vector<std::string>& Items() const { return *items_; }
    void SetItems(std::vector<std::string> items);
    // A list other boxes show too (every memo offers the same fonts): held, not copied.
    void SetItems(std::shared_ptr<const std::vector<std::string>> items);
    // The list item whose text the field holds, or -1 (typed text matches no item).
    int ItemIndex() const;
    void SetItemIndex(int index);

    // Read when the window is made.
    int DropDownCount = 8;
    int ItemHeight = 16;
    bool TabStop = true;

    bool DroppedDown() const;
    void SetDroppedDown(bool dropped);

    // After the user types into the field or picks an item; the field's text is
    // already the new one.
    std::function<void()> OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void KeepState() override;
    bool HandleReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void FillList();
    std::shared_ptr<const std::vector<std::string>> items_ = std::make_shared<const std::vector<std::string>>();
    int itemIndex_ = -1;
};
