#include "common/VectorUnit.h"

namespace sapidoro {

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))

namespace {

__attribute__((target("avx"))) void ZeroUpper() {
    __builtin_ia32_vzeroupper();
}

const bool kHasAvx = __builtin_cpu_supports("avx");

}  // namespace

void ClearVectorUpperHalves() {
    if (kHasAvx) ZeroUpper();
}

#else

void ClearVectorUpperHalves() {}

#endif

}  // namespace sapidoro
