// What the process holds: kernel handles, GDI objects and busy heap bytes.
// Wine answers 0 from GetProcessHandleCount and GetGuiResources, so the
// meter counts for itself: it probes every handle value of the kernel's
// table and every index of the GDI table, and walks every heap of the
// process.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdio>

namespace standin {

struct ResourceFigures {
    long kernelHandles = 0;
    long gdiObjects = 0;
    int64_t heapBytes = 0;
};

class ResourceMeter {
  public:
    // Kernel handle values are multiples of 4; the processes here hold a
    // few hundred, far below the range probed.
    static constexpr ULONG_PTR kKernelProbeLimit = 0x8000;
    // GDI handles carry their table index in the low word.
    static constexpr ULONG_PTR kGdiTableSize = 0x10000;

    static long KernelHandles() {
        long found = 0;
        for (ULONG_PTR value = 4; value < kKernelProbeLimit; value += 4) {
            DWORD flags = 0;
            if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) {
                ++found;
            }
        }
        return found;
    }

    static long GdiObjects() {
        long found = 0;
        for (ULONG_PTR index = 1; index < kGdiTableSize; ++index) {
            if (GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0) {
                ++found;
            }
        }
        return found;
    }

    // Calls `visit` with the data and size of each busy block of `heap`, or
    // of every heap of the process when `heap` is null.
    template <typename Visit> static void EachBusyBlock(HANDLE heap, Visit visit) {
        HANDLE heaps[256] = {heap};
        const DWORD count = heap ? 1 : GetProcessHeaps(256, heaps);
        for (DWORD i = 0; i < count && i < 256; ++i) {
            if (!HeapLock(heaps[i])) {
                continue;
            }
            PROCESS_HEAP_ENTRY entry{};
            while (HeapWalk(heaps[i], &entry)) {
                if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) {
                    visit(static_cast<const void*>(entry.lpData), size_t{entry.cbData});
                }
            }
            HeapUnlock(heaps[i]);
        }
    }

    // Bytes in busy blocks over all heaps of the process.
    static int64_t HeapBytes() {
        int64_t busy = 0;
        EachBusyBlock(nullptr, [&](const void*, size_t bytes) { busy += bytes; });
        return busy;
    }

    static ResourceFigures Measure() { return {KernelHandles(), GdiObjects(), HeapBytes()}; }
};

inline ResourceFigures operator-(const ResourceFigures& a, const ResourceFigures& b) {
    return {a.kernelHandles - b.kernelHandles, a.gdiObjects - b.gdiObjects,
            a.heapBytes - b.heapBytes};
}

inline void PrintFigures(const char* label, const ResourceFigures& f) {
    std::printf("%-40s kernel handles %5ld  GDI objects %5ld  heap bytes %9lld\n", label,
                f.kernelHandles, f.gdiObjects, static_cast<long long>(f.heapBytes));
}

} // namespace standin
