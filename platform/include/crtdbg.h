// The C runtime's debug-heap switches. Leak and heap checking come from AddressSanitizer and LeakSanitizer in the
// sanitizer build, so the flags are only recorded.
#pragma once

#define _CRTDBG_ALLOC_MEM_DF 0x01
#define _CRTDBG_DELAY_FREE_MEM_DF 0x02
#define _CRTDBG_CHECK_ALWAYS_DF 0x04
#define _CRTDBG_CHECK_CRT_DF 0x10
#define _CRTDBG_LEAK_CHECK_DF 0x20
#define _CRTDBG_REPORT_FLAG -1

inline int _CrtSetDbgFlag(int flags) {
    static int current = _CRTDBG_ALLOC_MEM_DF;
    const int previous = current;
    if (flags != _CRTDBG_REPORT_FLAG) current = flags;
    return previous;
}
