#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <new>
#include <utility>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace Pelko {
namespace IO {

// Allocator for the big working arrays of bulk loading. Memory fresh from the system costs a page fault per
// 4 kB page when first touched, and in a virtual machine each fault can take tens of microseconds: tens of
// megabytes then cost more than the work done in them. Blocks of several megabytes are therefore mapped
// for transparent huge pages where the system offers them, one fault per 2 MB.
template<class T> class LargeAllocator
{
public:
    using value_type = T;

    LargeAllocator() = default;
    template<class U> LargeAllocator(const LargeAllocator<U>&) noexcept { }

    T* allocate(std::size_t n)
    {
        if (n > std::numeric_limits<std::size_t>::max() / sizeof(T))
            throw std::bad_alloc();
        const std::size_t bytes = n * sizeof(T);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
        if (bytes >= mappedFrom) {
            const std::size_t length = mappedLength(bytes);
            // Over-mapped by one huge page so that the block can start on a huge-page boundary.
            void* mapped = mmap(nullptr, length + hugePage, PROT_READ | PROT_WRITE,
                                MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (mapped == MAP_FAILED)
                throw std::bad_alloc();
            const auto start = reinterpret_cast<std::uintptr_t>(mapped);
            const std::uintptr_t aligned = (start + hugePage - 1) & ~(std::uintptr_t(hugePage) - 1);
            if (aligned > start)
                munmap(mapped, aligned - start);
            if (const std::size_t tail = start + hugePage - aligned)
                munmap(reinterpret_cast<void*>(aligned + length), tail);
            madvise(reinterpret_cast<void*>(aligned), length, MADV_HUGEPAGE);
            return reinterpret_cast<T*>(aligned);
        }
#endif
        return static_cast<T*>(::operator new(bytes));
    }

    // What resize() adds is left uninitialised, as new T leaves it: the arrays are filled before they are
    // read, and zeroing hundreds of megabytes first would take as long as the work, without a look at the
    // cancel flag.
    template<class U> void construct(U* p) noexcept
    {
        ::new (static_cast<void*>(p)) U;
    }
    template<class U, class... Args> void construct(U* p, Args&&... args)
    {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }

    void deallocate(T* p, std::size_t n) noexcept
    {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
        if (n * sizeof(T) >= mappedFrom) {
            munmap(p, mappedLength(n * sizeof(T)));
            return;
        }
#endif
        ::operator delete(p);
    }

private:
    static std::size_t mappedLength(std::size_t bytes)
    {
        return (bytes + smallPage - 1) & ~(smallPage - 1);
    }

    static constexpr std::size_t smallPage = 4096;
    static constexpr std::size_t hugePage = std::size_t(2) << 20;
    static constexpr std::size_t mappedFrom = std::size_t(4) << 20;
};

template<class T, class U> bool operator==(const LargeAllocator<T>&, const LargeAllocator<U>&)
{
    return true;
}

template<class T, class U> bool operator!=(const LargeAllocator<T>&, const LargeAllocator<U>&)
{
    return false;
}

} // namespace IO
} // namespace Pelko
