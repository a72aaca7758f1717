#pragma once
// A push button that draws itself and decides which presses it takes: the base
// of the image buttons. It follows the mouse so that it can show a hover face.

#include "framework/StdCtrls.h"

#include <windows.h>

class TzkPictureCButton : public TButton {
public:
    explicit TzkPictureCButton(TComponent* owner);

    // The default-button look last asked for; the face decides what to make of it.
    bool DefaultLook() const { return defaultLook_; }
    bool MouseInside() const { return mouseInside_; }

    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

protected:
    void CreateParams(TCreateParams& params) override;
    bool HandleReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    virtual void DrawFace(const DRAWITEMSTRUCT& item) = 0;
    // Whether a left press at this client point counts as a press at all.
    virtual bool AcceptsPress(short x, short y) = 0;

private:
    bool defaultLook_ = false;
    bool mouseInside_ = false;
};
