#include "common/VectorUnit.h"

namespace sapidoro {

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))

namespace {

__attribute__((target("avx"))) void ZeroUpper() {
    __builtin_ia32_vzeroupper();
}

bool HasAvx() {
    static const bool hasAvx = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx") != 0;
    }();
    return hasAvx;
}

}  // namespace

void ClearVectorUpperHalves() {
    if (HasAvx()) ZeroUpper();
}

#else

void ClearVectorUpperHalves() {}

#endif

}  // namespace sapidoro
