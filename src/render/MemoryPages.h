#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>

namespace ocuvis {

// For memory that is about to be written whole. The system hands out new memory a page at a
// time as it is first touched, each page a trap, which costs most under virtualisation (about 9
// against 5 us a page on the machine measured); asking for all the pages at once is the cheaper
// way to the same memory. Contents are left as they are; a kernel without MADV_POPULATE_WRITE
// ignores it.
inline void MapPagesForWriting(void* data, std::size_t size) {
#ifdef MADV_POPULATE_WRITE
    if (data == nullptr || size == 0) return;
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    // Back to the start of its first page, by pointer arithmetic.
    const auto offset =
        static_cast<std::size_t>(reinterpret_cast<std::uintptr_t>(data) & (page - 1));
    char* const first = static_cast<char*>(data) - offset;
    // Memory handed out again, as the last frame's mostly is, has its pages already, and
    // populating it would only walk them all. When its first and last pages are in, so are
    // the rest but for rare cases, which only cost the traps.
    const auto resident = [page](char* at) {
        unsigned char in = 0;
        return mincore(at, page, &in) == 0 && (in & 1) != 0;
    };
    char* const last = first + (size + offset - 1) / page * page;
    if (resident(first) && resident(last)) return;
    madvise(first, size + offset, MADV_POPULATE_WRITE);
#else
    (void)data;
    (void)size;
#endif
}

}  // namespace ocuvis
