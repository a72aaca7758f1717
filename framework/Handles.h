#pragma once
// Owning types for the platform's handles, plus non-owning guards for the
// handles that must be given back in a particular way (DCs, selected objects).

#include <windows.h>
#include <commctrl.h>
#include <utility>

template <typename Handle, typename Release>
class UniqueHandle {
public:
    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle h) noexcept : handle_(h) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != Handle{}; }
    Handle release() noexcept { return std::exchange(handle_, Handle{}); }
    void reset(Handle h = Handle{}) noexcept
    {
        Handle old = std::exchange(handle_, h);
        if (old != Handle{})
            Release{}(old);
    }

private:
    Handle handle_{};
};

struct GdiObjectRelease { void operator()(HGDIOBJ h) const noexcept { DeleteObject(h); } };
struct DcRelease { void operator()(HDC h) const noexcept { DeleteDC(h); } };
struct IconRelease { void operator()(HICON h) const noexcept { DestroyIcon(h); } };
struct KernelHandleRelease { void operator()(HANDLE h) const noexcept { CloseHandle(h); } };
struct ImageListRelease { void operator()(HIMAGELIST h) const noexcept { ImageList_Destroy(h); } };
struct ViewRelease { void operator()(void* p) const noexcept { UnmapViewOfFile(p); } };
struct MenuRelease { void operator()(HMENU h) const noexcept { DestroyMenu(h); } };
struct ModuleRelease { void operator()(HMODULE h) const noexcept { FreeLibrary(h); } };

using UniqueBitmap = UniqueHandle<HBITMAP, GdiObjectRelease>;
using UniqueBrush = UniqueHandle<HBRUSH, GdiObjectRelease>;
using UniquePen = UniqueHandle<HPEN, GdiObjectRelease>;
using UniqueFont = UniqueHandle<HFONT, GdiObjectRelease>;
using UniqueDC = UniqueHandle<HDC, DcRelease>;
using UniqueIcon = UniqueHandle<HICON, IconRelease>;
using UniqueImageList = UniqueHandle<HIMAGELIST, ImageListRelease>;
using UniqueMenu = UniqueHandle<HMENU, MenuRelease>;
using UniqueModule = UniqueHandle<HMODULE, ModuleRelease>;
using UniqueView = UniqueHandle<void*, ViewRelease>;

// Kernel handles: mutexes, mappings, processes, events. INVALID_HANDLE_VALUE is
// never stored (CreateFile callers convert it), so 0 alone means "none".
using UniqueKernelHandle = UniqueHandle<HANDLE, KernelHandleRelease>;

// FindFirstFile returns INVALID_HANDLE_VALUE on failure, so it gets its own type.
class UniqueFind {
public:
    explicit UniqueFind(HANDLE h) noexcept : handle_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
    UniqueFind(const UniqueFind&) = delete;
    UniqueFind& operator=(const UniqueFind&) = delete;
    ~UniqueFind() { if (handle_) FindClose(handle_); }
    HANDLE get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != nullptr; }

private:
    HANDLE handle_;
};

// A DC borrowed from a window with GetDC / GetWindowDC.
class WindowDC {
public:
    explicit WindowDC(HWND wnd, bool wholeWindow = false) noexcept
        : wnd_(wnd), dc_(wholeWindow ? GetWindowDC(wnd) : GetDC(wnd)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() { if (dc_) ReleaseDC(wnd_, dc_); }
    HDC get() const noexcept { return dc_; }

private:
    HWND wnd_;
    HDC dc_;
};

// BeginPaint / EndPaint.
class PaintDC {
public:
    explicit PaintDC(HWND wnd) noexcept : wnd_(wnd) { dc_ = BeginPaint(wnd, &ps_); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    ~PaintDC() { EndPaint(wnd_, &ps_); }
    HDC get() const noexcept { return dc_; }
    const RECT& rect() const noexcept { return ps_.rcPaint; }

private:
    HWND wnd_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

// Selects an object into a DC and puts the previous one back.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ obj) noexcept : dc_(dc), old_(SelectObject(dc, obj)) {}
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;
    ~SelectGuard() { if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_); }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A memory DC compatible with another, with a bitmap of the given size selected.
class OffscreenBitmap {
public:
    OffscreenBitmap(HDC reference, int width, int height) noexcept
        : dc_(CreateCompatibleDC(reference)),
          bitmap_(CreateCompatibleBitmap(reference, width > 0 ? width : 1, height > 0 ? height : 1)),
          select_(dc_.get(), bitmap_.get()) {}
    HDC dc() const noexcept { return dc_.get(); }
    HBITMAP bitmap() const noexcept { return bitmap_.get(); }

private:
    UniqueDC dc_;
    UniqueBitmap bitmap_;
    SelectGuard select_;
};

// Minimal owning COM pointer.
template <typename T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(const ComPtr& o) noexcept : p_(o.p_) { if (p_) p_->AddRef(); }
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ComPtr& operator=(ComPtr o) noexcept { std::swap(p_, o.p_); return *this; }
    ~ComPtr() { if (p_) p_->Release(); }

    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    // For out-parameters: releases what is held first.
    T** put() noexcept { reset(); return &p_; }
    void reset() noexcept { if (p_) std::exchange(p_, nullptr)->Release(); }
    // Takes a pointer whose reference the caller already owns.
    void attach(T* p) noexcept { reset(); p_ = p; }

private:
    T* p_ = nullptr;
};
