#pragma once
// A bar between two aligned controls that the user drags to share the space
// between them: the control it is aligned after grows or shrinks, the rest of
// the parent's aligned controls follow.

#include "framework/Controls.h"

#include <functional>

class TSplitter : public TCustomControl {
public:
    explicit TSplitter(TComponent* owner);

    // Neither the resized control nor the parent's filling control gets smaller.
    int MinSize = 30;

    // The control this bar resizes: the one aligned the same way right before it.
    TWinControl* ResizedControl() const;

    std::function<void()> OnMoved;

protected:
    void CreateParams(TCreateParams& params) override;
    void Paint(HDC dc) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    bool Vertical() const { return Align() == TAlign::alLeft || Align() == TAlign::alRight; }
    int Along(POINT screen) const { return Vertical() ? screen.x : screen.y; }
    int SizeOf(const TWinControl* c) const { return Vertical() ? c->Width() : c->Height(); }
    TWinControl* FillingControl() const;

    TWinControl* target_ = nullptr;
    int startPos_ = 0, startSize_ = 0, maxSize_ = 0;
};
