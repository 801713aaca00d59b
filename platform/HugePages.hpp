// Memory for big arrays and texts on huge pages, where the system offers
// them: a report of tens of megabytes then costs a few dozen page faults,
// not thousands.  Smaller blocks come from the usual heap.
#pragma once

#include <cstddef>
#include <new>

namespace quorvel {

inline constexpr std::size_t kHugePageSize = std::size_t{1} << 21;

// Blocks of a quarter of a huge page or more are mapped on huge pages, whole
// ones: BigCapacity(size) bytes, all usable.  Smaller ones are new'd.
std::size_t BigCapacity(std::size_t size) noexcept;
char* AllocateBig(std::size_t size);
void FreeBig(char* at, std::size_t size) noexcept;

// For a std::vector that may grow to megabytes.
template <typename T>
struct HugePageAllocator {
    using value_type = T;
    HugePageAllocator() = default;
    template <typename U>
    HugePageAllocator(const HugePageAllocator<U>&) noexcept {}
    T* allocate(std::size_t n) {
        if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
        static_assert(alignof(T) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__);
        return reinterpret_cast<T*>(AllocateBig(n * sizeof(T)));
    }
    void deallocate(T* p, std::size_t n) noexcept { FreeBig(reinterpret_cast<char*>(p), n * sizeof(T)); }
    template <typename U>
    bool operator==(const HugePageAllocator<U>&) const noexcept {
        return true;
    }
};

}  // namespace quorvel
