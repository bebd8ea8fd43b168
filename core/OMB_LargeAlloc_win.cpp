// Large buffers on Windows (see OMB_LargeAlloc.h): ordinary memory. Large
// pages need a privilege no ordinary user holds, and the C runtime has no
// aligned allocation that std::free could release.
#include "core/OMB_LargeAlloc.h"

void* OMB_AllocLarge(size_t bytes) { return std::malloc(bytes ? bytes : 1); }
