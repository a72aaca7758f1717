#pragma once
// Windowed controls: the C++ object behind every window of the program.
//
// A TWinControl owns its HWND. One window procedure serves every window: it finds
// the object through a window property, calls its virtual WndProc and hands any
// exception to the application, so none unwinds through the platform. Controls
// keep their text, bounds, visibility and font while they have no window, which
// lets a window be destroyed and made again (RecreateWnd) with its children.

#include "framework/Component.h"
#include "framework/Graphics.h"

#include <windows.h>

#include <functional>
#include <string>
#include <variant>
#include <vector>

class TForm;

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum class TMouseButton { mbLeft, mbRight, mbMiddle };

enum TShiftBits : unsigned {
    ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64
};
using TShiftState = unsigned;

// Shift state of a key message (lParam of WM_KEYDOWN) and of a mouse message (wParam).
TShiftState KeyDataToShiftState(LPARAM keyData);
TShiftState MouseKeysToShiftState(WPARAM keys);

struct TCreateParams {
    std::string Caption;
    // A system control that shows the program's own texts is made wide, so that
    // they read right in every code page.
    bool Unicode = false;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;
    UINT_PTR Id = 0;
    // Our own window class, registered on first use with the shared procedure...
    std::string WinClassName = "TWinControl";
    UINT ClassStyle = CS_DBLCLKS;
    HCURSOR Cursor = nullptr;  // the arrow when not set
    // ...or a system class (edit, rich edit, toolbar), which is subclassed instead.
    std::string SysClassName;
};

class TWinControl : public TComponent {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    HWND Handle() const { return handle_; }
    bool HandleAllocated() const { return handle_ != nullptr; }
    // Makes the window (its parent's first, its children's after) when it has none.
    // A graphic control never has one: it is its parent's window that it needs.
    void HandleNeeded();
    // A hidden control whose window, and its children's, is made only when it is
    // first shown, not with its parent's: for parts most windows never show.
    bool CreateHandleWhenShown = false;
    // Runs each time the window and its children's have been made (again).
    std::function<void()> OnWindowMade;
    // Destroys the window and its children's and makes them again, state kept.
    void RecreateWnd();
    // The window went without its last messages (the platform dropped it with
    // another process's windows): lets go of its handle and its children's.
    void ForgetLostWindow();
    static TWinControl* FromHandle(HWND wnd);

    TWinControl* Parent() const { return parent_; }
    void SetParent(TWinControl* parent);
    const std::vector<TWinControl*>& Controls() const { return controls_; }
    // The form this control sits on (itself for a form), or nullptr.
    TForm* ParentForm();

    int Left() const { return BoundsRect().left; }
    int Top() const { return BoundsRect().top; }
    int Width() const;
    int Height() const;
    // Relative to the parent's client area; for a top-level window, the screen.
    RECT BoundsRect() const;
    void SetBounds(int left, int top, int width, int height);
    void SetLeft(int left) { const RECT r = BoundsRect(); SetBounds(left, r.top, r.right - r.left, r.bottom - r.top); }
    void SetTop(int top) { const RECT r = BoundsRect(); SetBounds(r.left, top, r.right - r.left, r.bottom - r.top); }
    void SetWidth(int width) { const RECT r = BoundsRect(); SetBounds(r.left, r.top, width, r.bottom - r.top); }
    void SetHeight(int height) { const RECT r = BoundsRect(); SetBounds(r.left, r.top, r.right - r.left, height); }
    RECT ClientRect() const;
    int ClientWidth() const { return ClientRect().right; }
    int ClientHeight() const { return ClientRect().bottom; }
    void SetClientSize(int width, int height);
    POINT ClientToScreen(POINT p) const;
    POINT ScreenToClient(POINT p) const;

    TAlign Align() const { return align_; }
    void SetAlign(TAlign align);
    // Places the aligned children again, after one of them changed its size.
    void Realign() { AlignControls(); }

    // The window text as a data text, in the ANSI code page...
    std::string Text() const;
    void SetText(const std::string& text);
    // ...or as one of the program's own texts.
    std::wstring WideText() const;
    void SetWideText(const std::wstring& text);
    bool Visible() const;
    void SetVisible(bool visible);
    bool Enabled() const;
    void SetEnabled(bool enabled);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TFont& Font() { return font_; }
    const TFont& Font() const { return font_; }

    void Invalidate();
    void Update();
    void Repaint() { Invalidate(); Update(); }
    void SetFocus();
    bool Focused() const;
    LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    // Offers an accelerator key (Alt with a letter) to this control and its
    // children; true when one of them took it.
    virtual bool DialogChar(char key);

    // Every message of the window comes here first. The default handles layout,
    // background, reflected notifications and keys, then calls DefaultHandler.
    virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
    // The platform's own handling: the class procedure of a subclassed system
    // control, DefWindowProc for ours.
    LRESULT DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam);

    // Keys reach the control's form first when it previews them; a handler that
    // sets the key to 0 swallows it.
    std::function<void(WORD& key, TShiftState shift)> OnKeyDown;
    std::function<void()> OnResize;

protected:
    virtual void CreateParams(TCreateParams& params);
    // Makes the window from CreateParams; descendants that set up a new window
    // call the base first.
    virtual void CreateWnd();
    // Keeps what a re-creation has to restore (KeepState), then destroys the window.
    virtual void DestroyWnd();
    // Keeps what a re-creation has to restore while the window still exists: text,
    // bounds, visibility. Descendants that keep more save it, then call the base.
    virtual void KeepState();
    // Someone else is destroying the window (its parent belonged to another
    // process that went): the children still exist. Keeps the state, so that the
    // window can be made again as it was.
    virtual void WindowLost();
    // A notification (WM_COMMAND, WM_NOTIFY, WM_DRAWITEM, WM_CTLCOLOR*) that the
    // parent received about this control. True when handled, with its result.
    virtual bool HandleReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // After a size change, once the aligned children have been placed.
    virtual void Resize();
    virtual void DoKeyDown(WORD& key, TShiftState shift);
    void AlignControls();
    void DestroyHandle();
    // Paints the graphic controls on this window, each at its place, clipped to
    // it: after the window's own painting, from a WM_PAINT handler.
    void PaintGraphicControls(HDC dc);

private:
    friend LRESULT CALLBACK StdWndProc(HWND, UINT, WPARAM, LPARAM) noexcept;
    friend LRESULT CALLBACK SysWndProc(HWND, UINT, WPARAM, LPARAM) noexcept;
    LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT DispatchGuarded(TWinControl* control, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
    void Bind(HWND wnd);
    void Unbind();
    void ForgetBinding();
    void SaveState();
    bool WaitsToBeShown() const;
    bool PreviewKey(UINT msg, WPARAM& wParam, LPARAM lParam);
    bool ReflectToChild(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool MouseToGraphicControl(UINT msg, WPARAM wParam, LPARAM lParam);
    void EraseBackground(HDC dc);
    void InvalidateInParent(const RECT& r);

    HWND handle_ = nullptr;
    bool subclassed_ = false;  // a system control, its procedure replaced by ours
    TWinControl* parent_ = nullptr;
    std::vector<TWinControl*> controls_;
    RECT bounds_{0, 0, 0, 0};
    int pendingClientWidth_ = -1, pendingClientHeight_ = -1;
    // Kept as it was given: data texts stay byte for byte what they were.
    std::variant<std::string, std::wstring> text_;
    bool visible_ = true;
    bool enabled_ = true;
    TColor color_ = clBtnFace;
    TAlign align_ = TAlign::alNone;
    bool aligning_ = false;
    TFont font_;

protected:
    bool visibleByDefault_ = true;
    bool windowless_ = false;
};

// A control that paints itself and takes the mouse: owner-drawn buttons, paint
// boxes, drop-down grids.
class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* owner);
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool MouseInside() const { return mouseInside_; }

protected:
    virtual void Paint(HDC dc);
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseEnter();
    virtual void MouseLeave();

private:
    bool mouseInside_ = false;
};

// A control without a window: its parent paints it at its place (Paint gets a DC
// whose origin is the control's corner, clipped to it) and hands it the mouse
// presses, releases and moves over it, in its own coordinates. It takes no focus
// and is told of no mouse entering or leaving. Saves a window where nothing
// needs one; the parent's WM_PAINT must be the framework's (ours, not a system
// control's).
class TGraphicControl : public TCustomControl {
public:
    explicit TGraphicControl(TComponent* owner);
    // Paints every pixel of its place: the parent does not erase it first, which
    // would only flicker.
    bool Opaque = false;
};

// Paints through its OnPaint event; reports mouse presses.
class TPaintBox : public TGraphicControl {
public:
    explicit TPaintBox(TComponent* owner);
    std::function<void(HDC dc)> OnPaint;
    std::function<void(TMouseButton button, TShiftState shift, int x, int y)> OnMouseDown;

protected:
    void Paint(HDC dc) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
};
