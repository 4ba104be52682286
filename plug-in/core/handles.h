// One owner per kind of handle. Every handle the plug-in opens is held by one
// of these, so that no early return can leak it.
#pragma once

#include <windows.h>
#include <winspool.h>

#include <utility>

namespace vorn {

// Owns one handle of a kind described by Traits:
//   using Handle = ...;  static Handle Invalid();  static void Close(Handle);
template <typename Traits> class UniqueHandle {
  public:
    using Handle = typename Traits::Handle;

    UniqueHandle() noexcept : handle_(Traits::Invalid()) {}
    explicit UniqueHandle(Handle h) noexcept : handle_(h) {}
    ~UniqueHandle() { Reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            Reset(other.Release());
        }
        return *this;
    }

    Handle Get() const noexcept { return handle_; }
    bool Valid() const noexcept { return handle_ != Traits::Invalid(); }
    explicit operator bool() const noexcept { return Valid(); }

    // For APIs that return the handle through an out-parameter.
    Handle* Receive() noexcept {
        Reset();
        return &handle_;
    }

    Handle Release() noexcept {
        Handle h = handle_;
        handle_ = Traits::Invalid();
        return h;
    }

    void Reset(Handle h = Traits::Invalid()) noexcept {
        if (handle_ != Traits::Invalid()) {
            Traits::Close(handle_);
        }
        handle_ = h;
    }

  private:
    Handle handle_;
};

struct RegKeyTraits {
    using Handle = HKEY;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { RegCloseKey(h); }
};
struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { CloseHandle(h); }
};
struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { FindClose(h); }
};
struct FindChangeTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { FindCloseChangeNotification(h); }
};
struct ModuleTraits {
    using Handle = HMODULE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { FreeLibrary(h); }
};
struct MemoryDcTraits {
    using Handle = HDC;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { DeleteDC(h); }
};
struct GdiObjectTraits {
    using Handle = HGDIOBJ;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { DeleteObject(h); }
};
struct PrinterTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ClosePrinter(h); }
};
struct GlobalMemoryTraits {
    using Handle = HGLOBAL;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { GlobalFree(h); }
};
struct SidTraits {
    using Handle = PSID;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { FreeSid(h); }
};
struct ProcessHeapTraits {
    using Handle = void*;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { HeapFree(GetProcessHeap(), 0, h); }
};

using UniqueRegKey = UniqueHandle<RegKeyTraits>;
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueFindHandle = UniqueHandle<FindHandleTraits>;
using UniqueChangeNotification = UniqueHandle<FindChangeTraits>;
using UniqueModule = UniqueHandle<ModuleTraits>;
using UniqueMemoryDc = UniqueHandle<MemoryDcTraits>;
using UniqueGdiObject = UniqueHandle<GdiObjectTraits>;
using UniquePrinter = UniqueHandle<PrinterTraits>;
using UniqueGlobal = UniqueHandle<GlobalMemoryTraits>;
using UniqueSid = UniqueHandle<SidTraits>;
using UniqueProcessHeapBlock = UniqueHandle<ProcessHeapTraits>;

// A window DC obtained with GetDC, given back with ReleaseDC.
class WindowDc {
  public:
    explicit WindowDc(HWND window) noexcept : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_) {
            ReleaseDC(window_, dc_);
        }
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC Get() const noexcept { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// The paint DC of WM_PAINT: BeginPaint now, EndPaint when it goes.
class PaintDc {
  public:
    explicit PaintDc(HWND window) noexcept : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~PaintDc() {
        if (dc_) {
            EndPaint(window_, &paint_);
        }
    }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    HDC Get() const noexcept { return dc_; }

  private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// Keeps an object selected into a DC and puts the previous one back.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object) noexcept
        : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectedObject() {
        if (previous_ && previous_ != HGDI_ERROR) {
            SelectObject(dc_, previous_);
        }
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// Locks a global memory block for as long as it lives.
class GlobalLock {
  public:
    explicit GlobalLock(HGLOBAL memory) noexcept
        : memory_(memory), pointer_(memory ? ::GlobalLock(memory) : nullptr) {}
    ~GlobalLock() {
        if (pointer_) {
            ::GlobalUnlock(memory_);
        }
    }
    GlobalLock(const GlobalLock&) = delete;
    GlobalLock& operator=(const GlobalLock&) = delete;
    void* Get() const noexcept { return pointer_; }

  private:
    HGLOBAL memory_;
    void* pointer_;
};

// A zero-filled block from the process heap for spooler answers of a size
// learnt at run time.
class HeapBuffer {
  public:
    HeapBuffer() noexcept = default;
    explicit HeapBuffer(size_t bytes) noexcept { Allocate(bytes); }
    bool Allocate(size_t bytes) noexcept {
        block_.Reset(bytes ? HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes) : nullptr);
        size_ = block_ ? bytes : 0;
        return block_.Valid();
    }
    template <typename T = BYTE> T* As() const noexcept { return static_cast<T*>(block_.Get()); }
    size_t Size() const noexcept { return size_; }
    explicit operator bool() const noexcept { return block_.Valid(); }

  private:
    UniqueProcessHeapBlock block_;
    size_t size_ = 0;
};

} // namespace vorn
