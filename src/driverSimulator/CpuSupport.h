// What the processor offers beyond the build's baseline, asked once.
#pragma once

#if defined(__x86_64__) || defined(__i386__)
#define CR80_HAS_X86_SHUFFLES 1
#endif

namespace CpuSupport {

// SSSE3 (16-byte byte shuffles): false where the build does not target x86.
inline bool hasSsse3()
{
#if defined(CR80_HAS_X86_SHUFFLES)
    static const bool has = __builtin_cpu_supports("ssse3");
    return has;
#else
    return false;
#endif
}

} // namespace CpuSupport
