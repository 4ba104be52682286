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
        page_ = info.dwPageSize;
        const size_t dataPages = (size + page_ - 1) / page_ + (size == 0 ? 1 : 0);
        total_ = (dataPages + 1) * page_;
        base_ = static_cast<BYTE*>(
            VirtualAlloc(nullptr, total_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old = 0;
        if (guard == Guard::After) {
            VirtualProtect(base_ + dataPages * page_, page_, PAGE_NOACCESS, &old);
            data_ = base_ + dataPages * page_ - size;
        } else {
            VirtualProtect(base_, page_, PAGE_NOACCESS, &old);
            data_ = base_ + page_;
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
    size_t page_ = 4096;
    size_t total_ = 0;
    BYTE* base_ = nullptr;
    BYTE* data_ = nullptr;
};

} // namespace testsupport
