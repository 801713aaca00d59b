#include "platform/HugePages.hpp"

#include <cstdint>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace quorvel {
namespace {

#ifdef __linux__
// size bytes on a huge-page boundary, with the kernel asked to back them
// with huge pages; nullptr when they cannot be mapped.
char* MapHugePages(std::size_t size) noexcept {
    // Map a huge page more than asked, then give back what lies before the
    // first boundary and after the block.
    const std::size_t span = size + kHugePageSize;
    if (span < size) return nullptr;
    void* raw = ::mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (start + kHugePageSize - 1) & ~(kHugePageSize - 1);
    if (aligned > start) ::munmap(raw, aligned - start);
    const std::size_t tail = start + span - (aligned + size);
    if (tail != 0) ::munmap(reinterpret_cast<void*>(aligned + size), tail);
    auto* at = reinterpret_cast<char*>(aligned);
    ::madvise(at, size, MADV_HUGEPAGE);  // advice only: small pages still work
    return at;
}

void UnmapHugePages(char* at, std::size_t size) noexcept { ::munmap(at, size); }

// Big blocks are always mapped: a mapping that fails is memory that is not
// there, as for new.
constexpr bool Mapped(std::size_t size) { return size >= kHugePageSize / 4; }
#else
char* MapHugePages(std::size_t) noexcept { return nullptr; }
void UnmapHugePages(char*, std::size_t) noexcept {}
constexpr bool Mapped(std::size_t) { return false; }
#endif

}  // namespace

std::size_t BigCapacity(std::size_t size) noexcept {
    if (!Mapped(size) || size > static_cast<std::size_t>(-1) - kHugePageSize) return size;
    return (size + kHugePageSize - 1) & ~(kHugePageSize - 1);
}

char* AllocateBig(std::size_t size) {
    if (!Mapped(size)) return static_cast<char*>(::operator new(size));
    if (char* at = MapHugePages(BigCapacity(size))) return at;
    throw std::bad_alloc();
}

void FreeBig(char* at, std::size_t size) noexcept {
    if (at == nullptr) return;
    if (Mapped(size))
        UnmapHugePages(at, BigCapacity(size));
    else
        ::operator delete(at);
}

}  // namespace quorvel
