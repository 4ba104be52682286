// Buffers placed flush against an inaccessible page, so that a read or write
// past the end (or, with the guard in front, before the start) faults at
// once instead of silently corrupting memory.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstring>

namespace testsupport {

class GuardedBuffer {
  public:
    enum class Guard { After, Before };

    explicit GuardedBuffer(size_t size, Guard guard = Guard::After) : size_(size) {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        const size_t page = info.dwPageSize;
        const size_t dataPages = (size + page - 1) / page + (size == 0 ? 1 : 0);
        base_ = static_cast<BYTE*>(VirtualAlloc(nullptr, (dataPages + 1) * page,
                                                MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old = 0;
        if (guard == Guard::After) {
            VirtualProtect(base_ + dataPages * page, page, PAGE_NOACCESS, &old);
            data_ = base_ + dataPages * page - size;
        } else {
            VirtualProtect(base_, page, PAGE_NOACCESS, &old);
            data_ = base_ + page;
        }
    }
    ~GuardedBuffer() { VirtualFree(base_, 0, MEM_RELEASE); }
    GuardedBuffer(const GuardedBuffer&) = delete;
    GuardedBuffer& operator=(const GuardedBuffer&) = delete;

    BYTE* Data() const { return data_; }
    size_t Size() const { return size_; }
    void Fill(BYTE value) { std::memset(data_, value, size_); }

  private:
    size_t size_;
    BYTE* base_ = nullptr;
    BYTE* data_ = nullptr;
};

} // namespace testsupport
