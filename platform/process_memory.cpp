#include "platform/process_memory.h"

#include <malloc.h>

namespace platform {

// Every open builds new streaming threads and frame pools. With glibc's
// defaults each thread may take an arena of its own, and after a large frame
// is freed an arena keeps up to twice its size unreturned at its top: the
// per-thread arenas kept tens of megabytes of freed frames, so memory climbed
// with every reopen (repeat play) though nothing leaked. So: one arena;
// frames stay on the heap (a fresh mapping per frame costs a page fault per
// page, and the decoder copies every frame it still refers to); 16 MiB may
// stay at the top, room for the frames in passage.
void KeepFreedMemoryReturnable() {
  mallopt(M_ARENA_MAX, 1);
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 16 << 20);
}

void ReturnFreedMemory() { malloc_trim(0); }

}  // namespace platform
