#include "data/LineIndex.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define SAPIDORO_X86 1
#endif

namespace sapidoro {

namespace {

constexpr std::size_t kChunk = 64;

bool IsLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

std::uint64_t ByteBits(const unsigned char *s, unsigned char b) {
    std::uint64_t bits = 0;
    for (std::size_t k = 0; k < kChunk; ++k) bits |= std::uint64_t{s[k] == b} << k;
    return bits;
}

// One chunk's masks, however they were computed.
struct ChunkMasks {
    std::uint64_t cr, prefix;
    bool ctrlZ;
};

// Stores a chunk's masks; true when the chunk holds a byte 26.
template <std::size_t L>
bool Store(const ChunkMasks &m, std::size_t at, const LineBitmaps &out) {
    out.cr[at / kChunk] = m.cr;
    if (L > 0) out.prefix[at / kChunk] = m.prefix;
    return m.ctrlZ;
}

template <std::size_t L>
std::size_t IndexPortable(const unsigned char *data, std::size_t from, std::size_t to,
                          const LineBitmaps &out, const PrefixPattern &p) {
    for (std::size_t at = from; at < to; at += kChunk) {
        const unsigned char *s = data + at;
        ChunkMasks m{ByteBits(s, '\r'), 0, ByteBits(s, 26) != 0};
        for (std::size_t k = 0; k < kChunk && L > 0; ++k) {
            bool match = true;
            for (std::size_t j = 0; j < L; ++j) match &= (s[k + j] | p.orMask[j]) == p.want[j];
            m.prefix |= std::uint64_t{match} << k;
        }
        if (Store<L>(m, at, out)) return at + static_cast<std::size_t>(__builtin_ctzll(ByteBits(s, 26)));
    }
    return to;
}

#if defined(SAPIDORO_X86)

// Sixteen bytes at a time: the baseline of every x86-64 processor.
template <std::size_t L>
std::size_t IndexSse2(const unsigned char *data, std::size_t from, std::size_t to,
                      const LineBitmaps &out, const PrefixPattern &p) {
    const __m128i cr = _mm_set1_epi8('\r'), ctrlZ = _mm_set1_epi8(26);
    __m128i orMask[kMaxPrefix], want[kMaxPrefix];
    for (std::size_t j = 0; j < kMaxPrefix; ++j) {
        orMask[j] = _mm_set1_epi8(static_cast<char>(p.orMask[j]));
        want[j] = _mm_set1_epi8(static_cast<char>(p.want[j]));
    }
    for (std::size_t at = from; at < to; at += kChunk) {
        const unsigned char *s = data + at;
        ChunkMasks m{0, 0, false};
        __m128i z = _mm_setzero_si128();
        for (std::size_t q = 0; q < kChunk; q += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + q));
            m.cr |= std::uint64_t(unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v, cr)))) << q;
            z = _mm_or_si128(z, _mm_cmpeq_epi8(v, ctrlZ));
            if (L > 0) {
                __m128i hit = _mm_cmpeq_epi8(_mm_or_si128(v, orMask[0]), want[0]);
                for (std::size_t j = 1; j < L; ++j) {
                    const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + q + j));
                    hit = _mm_and_si128(hit, _mm_cmpeq_epi8(_mm_or_si128(w, orMask[j]), want[j]));
                }
                m.prefix |= std::uint64_t(unsigned(_mm_movemask_epi8(hit))) << q;
            }
        }
        m.ctrlZ = _mm_movemask_epi8(z) != 0;
        if (Store<L>(m, at, out)) return at + static_cast<std::size_t>(__builtin_ctzll(ByteBits(s, 26)));
    }
    return to;
}

__attribute__((target("avx2"))) inline std::uint64_t Bits(__m256i lo, __m256i hi) {
    return std::uint64_t(unsigned(_mm256_movemask_epi8(lo))) |
           std::uint64_t(unsigned(_mm256_movemask_epi8(hi))) << 32;
}

// Thirty-two bytes at a time, where the processor has AVX2.
template <std::size_t L>
__attribute__((target("avx2"))) std::size_t IndexAvx2(const unsigned char *data,
                                                      std::size_t from, std::size_t to,
                                                      const LineBitmaps &out,
                                                      const PrefixPattern &p) {
    const __m256i cr = _mm256_set1_epi8('\r'), ctrlZ = _mm256_set1_epi8(26);
    __m256i orMask[kMaxPrefix], want[kMaxPrefix];
    for (std::size_t j = 0; j < kMaxPrefix; ++j) {
        orMask[j] = _mm256_set1_epi8(static_cast<char>(p.orMask[j]));
        want[j] = _mm256_set1_epi8(static_cast<char>(p.want[j]));
    }
    for (std::size_t at = from; at < to; at += kChunk) {
        const unsigned char *s = data + at;
        const __m256i lo = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(s));
        const __m256i hi = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(s + 32));
        ChunkMasks m{Bits(_mm256_cmpeq_epi8(lo, cr), _mm256_cmpeq_epi8(hi, cr)), 0, false};
        if (L > 0) {
            __m256i hitLo = _mm256_cmpeq_epi8(_mm256_or_si256(lo, orMask[0]), want[0]);
            __m256i hitHi = _mm256_cmpeq_epi8(_mm256_or_si256(hi, orMask[0]), want[0]);
            for (std::size_t j = 1; j < L; ++j) {
                const __m256i wLo = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(s + j));
                const __m256i wHi = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(s + 32 + j));
                hitLo = _mm256_and_si256(hitLo, _mm256_cmpeq_epi8(_mm256_or_si256(wLo, orMask[j]), want[j]));
                hitHi = _mm256_and_si256(hitHi, _mm256_cmpeq_epi8(_mm256_or_si256(wHi, orMask[j]), want[j]));
            }
            m.prefix = Bits(hitLo, hitHi);
        }
        const __m256i z = _mm256_or_si256(_mm256_cmpeq_epi8(lo, ctrlZ), _mm256_cmpeq_epi8(hi, ctrlZ));
        m.ctrlZ = !_mm256_testz_si256(z, z);
        if (Store<L>(m, at, out)) return at + static_cast<std::size_t>(__builtin_ctzll(ByteBits(s, 26)));
    }
    return to;
}

// Sixty-four bytes at a time into mask registers, where the processor has AVX-512BW.
template <std::size_t L>
__attribute__((target("avx512bw"))) std::size_t IndexAvx512(const unsigned char *data,
                                                            std::size_t from, std::size_t to,
                                                            const LineBitmaps &out,
                                                            const PrefixPattern &p) {
    const __m512i cr = _mm512_set1_epi8('\r'), ctrlZ = _mm512_set1_epi8(26);
    __m512i orMask[kMaxPrefix], want[kMaxPrefix];
    for (std::size_t j = 0; j < kMaxPrefix; ++j) {
        orMask[j] = _mm512_set1_epi8(static_cast<char>(p.orMask[j]));
        want[j] = _mm512_set1_epi8(static_cast<char>(p.want[j]));
    }
    for (std::size_t at = from; at < to; at += kChunk) {
        const unsigned char *s = data + at;
        const __m512i v = _mm512_loadu_si512(s);
        ChunkMasks m{_mm512_cmpeq_epi8_mask(v, cr), 0, _mm512_cmpeq_epi8_mask(v, ctrlZ) != 0};
        if (L > 0) {
            __mmask64 hit = _mm512_cmpeq_epi8_mask(_mm512_or_si512(v, orMask[0]), want[0]);
            for (std::size_t j = 1; j < L; ++j) {
                const __m512i w = _mm512_loadu_si512(s + j);
                hit = _mm512_mask_cmpeq_epi8_mask(hit, _mm512_or_si512(w, orMask[j]), want[j]);
            }
            m.prefix = hit;
        }
        if (Store<L>(m, at, out)) return at + static_cast<std::size_t>(__builtin_ctzll(ByteBits(s, 26)));
    }
    return to;
}

// The widest instruction set of the processor, and the one the tests allow.
const int g_processorLevel = [] {
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512bw")) return 2;
    if (__builtin_cpu_supports("avx2")) return 1;
    return 0;
}();
int g_levelLimit = 2;

#endif

template <std::size_t L>
std::size_t Index(const unsigned char *data, std::size_t from, std::size_t to,
                  const LineBitmaps &out, const PrefixPattern &p) {
#if defined(SAPIDORO_X86)
    const int level = g_processorLevel < g_levelLimit ? g_processorLevel : g_levelLimit;
    if (level >= 2) return IndexAvx512<L>(data, from, to, out, p);
    if (level == 1) return IndexAvx2<L>(data, from, to, out, p);
    return IndexSse2<L>(data, from, to, out, p);
#else
    return IndexPortable<L>(data, from, to, out, p);
#endif
}

}  // namespace

unsigned char FoldPatternByte(char c) {
    const auto b = static_cast<unsigned char>(c);
    return b >= 'a' && b <= 'z' ? static_cast<unsigned char>(b - ('a' - 'A')) : b;
}

PrefixPattern MakePrefixPattern(std::string_view prefix, bool foldLetters) {
    PrefixPattern p;
    p.length = prefix.size() < kMaxPrefix ? prefix.size() : kMaxPrefix;
    for (std::size_t j = 0; j < p.length; ++j) {
        const auto b = static_cast<unsigned char>(prefix[j]);
        p.orMask[j] = foldLetters && IsLetter(b) ? 0x20 : 0;
        p.want[j] = static_cast<unsigned char>(b | p.orMask[j]);
    }
    return p;
}

std::size_t IndexLines(const char *data, std::size_t from, std::size_t to,
                       const LineBitmaps &out, const PrefixPattern &pattern) {
    const auto *bytes = reinterpret_cast<const unsigned char *>(data);
    switch (out.prefix ? pattern.length : 0) {
    case 0: return Index<0>(bytes, from, to, out, pattern);
    case 1: return Index<1>(bytes, from, to, out, pattern);
    case 2: return Index<2>(bytes, from, to, out, pattern);
    case 3: return Index<3>(bytes, from, to, out, pattern);
    default: return Index<4>(bytes, from, to, out, pattern);
    }
}

namespace detail {

int LimitLineIndex(int level) {
#if defined(SAPIDORO_X86)
    g_levelLimit = level;
    return g_processorLevel < level ? g_processorLevel : level;
#else
    (void)level;
    return 0;
#endif
}

}  // namespace detail

}  // namespace sapidoro
