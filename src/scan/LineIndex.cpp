#include "scan/LineIndex.h"

#include "common/AsciiCase.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define SAPIDORO_X86 1
#endif

namespace sapidoro {

namespace {

constexpr std::size_t kChunk = 64;

std::uint64_t ByteBits(const unsigned char *s, unsigned char b) {
    std::uint64_t bits = 0;
    for (std::size_t k = 0; k < kChunk; ++k) bits |= std::uint64_t{s[k] == b} << k;
    return bits;
}

// One chunk's masks, however they were computed.
struct ChunkMasks {
    std::uint64_t cr = 0, marker = 0, prefix = 0;
    bool ctrlZ = false;
};

// Stores a chunk's masks; true when the chunk holds a byte 26.
template <std::size_t L, int Markers>
bool Store(const ChunkMasks &m, std::size_t at, const LineBitmaps &out) {
    out.cr[at / kChunk] = m.cr;
    if (Markers) out.marker[at / kChunk] = m.marker;
    if (L > 0) out.prefix[at / kChunk] = m.prefix;
    return m.ctrlZ;
}

std::size_t FirstCtrlZ(const unsigned char *s, std::size_t at) {
    return at + static_cast<std::size_t>(__builtin_ctzll(ByteBits(s, 26)));
}

template <std::size_t L, int Markers>
std::size_t IndexPortable(const unsigned char *data, std::size_t from, std::size_t to,
                          const LineBitmaps &out, const IndexPatterns &p) {
    for (std::size_t at = from; at < to; at += kChunk) {
        const unsigned char *s = data + at;
        ChunkMasks m;
        m.cr = ByteBits(s, '\r');
        m.ctrlZ = ByteBits(s, 26) != 0;
        for (std::size_t k = 0; k < kChunk; ++k) {
            if (Markers) {
                bool hit = false;
                for (int i = 0; i < Markers; ++i) {
                    hit |= s[k] == p.markers[i][0] && s[k + 1] == p.markers[i][1];
                }
                m.marker |= std::uint64_t{hit} << k;
            }
            if (L > 0) {
                bool match = true;
                for (std::size_t j = 0; j < L; ++j) {
                    match &= (s[k + j] | p.prefix.orMask[j]) == p.prefix.want[j];
                }
                m.prefix |= std::uint64_t{match} << k;
            }
        }
        if (Store<L, Markers>(m, at, out)) return FirstCtrlZ(s, at);
    }
    return to;
}

#if defined(SAPIDORO_X86)

// Sixteen bytes at a time: the baseline of every x86-64 processor.
template <std::size_t L, int Markers>
std::size_t IndexSse2(const unsigned char *data, std::size_t from, std::size_t to,
                      const LineBitmaps &out, const IndexPatterns &p) {
    const __m128i cr = _mm_set1_epi8('\r'), ctrlZ = _mm_set1_epi8(26);
    __m128i orMask[kMaxPrefix], want[kMaxPrefix], pair[2][2];
    for (std::size_t j = 0; j < kMaxPrefix; ++j) {
        orMask[j] = _mm_set1_epi8(static_cast<char>(p.prefix.orMask[j]));
        want[j] = _mm_set1_epi8(static_cast<char>(p.prefix.want[j]));
    }
    for (std::size_t i = 0; i < 2; ++i) {
        for (std::size_t j = 0; j < 2; ++j)
            pair[i][j] = _mm_set1_epi8(static_cast<char>(p.markers[i][j]));
    }
    const auto load = [](const unsigned char *at) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i *>(at));
    };
    const auto bits = [](__m128i v, std::size_t q) {
        return std::uint64_t(unsigned(_mm_movemask_epi8(v))) << q;
    };
    for (std::size_t at = from; at < to; at += kChunk) {
        const unsigned char *s = data + at;
        ChunkMasks m;
        __m128i z = _mm_setzero_si128();
        for (std::size_t q = 0; q < kChunk; q += 16) {
            const __m128i v = load(s + q);
            m.cr |= bits(_mm_cmpeq_epi8(v, cr), q);
            z = _mm_or_si128(z, _mm_cmpeq_epi8(v, ctrlZ));
            const __m128i next = Markers || L > 1 ? load(s + q + 1) : v;
            if (Markers) {
                __m128i hit =
                    _mm_and_si128(_mm_cmpeq_epi8(v, pair[0][0]), _mm_cmpeq_epi8(next, pair[0][1]));
                if (Markers > 1) {
                    hit = _mm_or_si128(hit, _mm_and_si128(_mm_cmpeq_epi8(v, pair[1][0]),
                                                          _mm_cmpeq_epi8(next, pair[1][1])));
                }
                m.marker |= bits(hit, q);
            }
            if (L > 0) {
                __m128i hit = _mm_cmpeq_epi8(_mm_or_si128(v, orMask[0]), want[0]);
                for (std::size_t j = 1; j < L; ++j) {
                    const __m128i w = j == 1 ? next : load(s + q + j);
                    hit = _mm_and_si128(hit, _mm_cmpeq_epi8(_mm_or_si128(w, orMask[j]), want[j]));
                }
                m.prefix |= bits(hit, q);
            }
        }
        m.ctrlZ = _mm_movemask_epi8(z) != 0;
        if (Store<L, Markers>(m, at, out)) return FirstCtrlZ(s, at);
    }
    return to;
}

__attribute__((target("avx2"))) inline std::uint64_t Bits(__m256i lo, __m256i hi) {
    return std::uint64_t(unsigned(_mm256_movemask_epi8(lo))) |
           std::uint64_t(unsigned(_mm256_movemask_epi8(hi))) << 32;
}

__attribute__((target("avx2"))) inline __m256i Load(const unsigned char *at) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i *>(at));
}

// Thirty-two bytes at a time, where the processor has AVX2.
template <std::size_t L, int Markers>
__attribute__((target("avx2"))) std::size_t IndexAvx2(const unsigned char *data, std::size_t from,
                                                      std::size_t to, const LineBitmaps &out,
                                                      const IndexPatterns &p) {
    const __m256i cr = _mm256_set1_epi8('\r'), ctrlZ = _mm256_set1_epi8(26);
    __m256i orMask[kMaxPrefix], want[kMaxPrefix], pair[2][2];
    for (std::size_t j = 0; j < kMaxPrefix; ++j) {
        orMask[j] = _mm256_set1_epi8(static_cast<char>(p.prefix.orMask[j]));
        want[j] = _mm256_set1_epi8(static_cast<char>(p.prefix.want[j]));
    }
    for (std::size_t i = 0; i < 2; ++i) {
        for (std::size_t j = 0; j < 2; ++j)
            pair[i][j] = _mm256_set1_epi8(static_cast<char>(p.markers[i][j]));
    }
    for (std::size_t at = from; at < to; at += kChunk) {
        const unsigned char *s = data + at;
        ChunkMasks m;
        __m256i v[2], next[2], z = _mm256_setzero_si256();
        __m256i marker[2], hit[2];
        for (std::size_t h = 0; h < 2; ++h) {
            v[h] = Load(s + 32 * h);
            next[h] = Markers || L > 1 ? Load(s + 32 * h + 1) : v[h];
            z = _mm256_or_si256(z, _mm256_cmpeq_epi8(v[h], ctrlZ));
            if (Markers) {
                marker[h] = _mm256_and_si256(_mm256_cmpeq_epi8(v[h], pair[0][0]),
                                             _mm256_cmpeq_epi8(next[h], pair[0][1]));
                if (Markers > 1) {
                    marker[h] = _mm256_or_si256(
                        marker[h], _mm256_and_si256(_mm256_cmpeq_epi8(v[h], pair[1][0]),
                                                    _mm256_cmpeq_epi8(next[h], pair[1][1])));
                }
            }
            if (L > 0) {
                hit[h] = _mm256_cmpeq_epi8(_mm256_or_si256(v[h], orMask[0]), want[0]);
                for (std::size_t j = 1; j < L; ++j) {
                    const __m256i w = j == 1 ? next[h] : Load(s + 32 * h + j);
                    hit[h] = _mm256_and_si256(
                        hit[h], _mm256_cmpeq_epi8(_mm256_or_si256(w, orMask[j]), want[j]));
                }
            }
        }
        m.cr = Bits(_mm256_cmpeq_epi8(v[0], cr), _mm256_cmpeq_epi8(v[1], cr));
        if (Markers) m.marker = Bits(marker[0], marker[1]);
        if (L > 0) m.prefix = Bits(hit[0], hit[1]);
        m.ctrlZ = !_mm256_testz_si256(z, z);
        if (Store<L, Markers>(m, at, out)) return FirstCtrlZ(s, at);
    }
    return to;
}

#endif

// The widest level of the processor, and the one in use.
const IndexLevel g_bestLevel = [] {
#if defined(SAPIDORO_X86)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2")) return IndexLevel::Avx2;
    return IndexLevel::Sse2;
#else
    return IndexLevel::Portable;
#endif
}();
IndexLevel g_level = g_bestLevel;

template <std::size_t L, int Markers>
std::size_t Index(const unsigned char *data, std::size_t from, std::size_t to,
                  const LineBitmaps &out, const IndexPatterns &p) {
#if defined(SAPIDORO_X86)
    switch (g_level) {
        case IndexLevel::Avx2:
            return IndexAvx2<L, Markers>(data, from, to, out, p);
        case IndexLevel::Sse2:
            return IndexSse2<L, Markers>(data, from, to, out, p);
        case IndexLevel::Portable:
            break;
    }
#endif
    return IndexPortable<L, Markers>(data, from, to, out, p);
}

template <int Markers>
std::size_t IndexWith(const unsigned char *data, std::size_t from, std::size_t to,
                      const LineBitmaps &out, const IndexPatterns &p) {
    switch (out.prefix ? p.prefix.length : 0) {
        case 0:
            return Index<0, Markers>(data, from, to, out, p);
        case 1:
            return Index<1, Markers>(data, from, to, out, p);
        case 2:
            return Index<2, Markers>(data, from, to, out, p);
        case 3:
            return Index<3, Markers>(data, from, to, out, p);
        default:
            return Index<4, Markers>(data, from, to, out, p);
    }
}

}  // namespace

PrefixPattern MakePrefixPattern(std::string_view prefix, bool foldLetters) {
    PrefixPattern p;
    p.length = prefix.size() < kMaxPrefix ? prefix.size() : kMaxPrefix;
    for (std::size_t j = 0; j < p.length; ++j) {
        const auto b = static_cast<unsigned char>(prefix[j]);
        p.orMask[j] = foldLetters && IsAsciiLetter(b) ? 0x20 : 0;
        p.want[j] = static_cast<unsigned char>(b | p.orMask[j]);
    }
    return p;
}

std::size_t IndexLines(const char *data, std::size_t from, std::size_t to, const LineBitmaps &out,
                       const IndexPatterns &patterns) {
    const auto *bytes = reinterpret_cast<const unsigned char *>(data);
    if (!out.marker) return IndexWith<0>(bytes, from, to, out, patterns);
    const bool one = patterns.markers[0][0] == patterns.markers[1][0] &&
                     patterns.markers[0][1] == patterns.markers[1][1];
    return one ? IndexWith<1>(bytes, from, to, out, patterns)
               : IndexWith<2>(bytes, from, to, out, patterns);
}

IndexLevel BestIndexLevel() {
    return g_bestLevel;
}

IndexLevel CurrentIndexLevel() {
    return g_level;
}

IndexLevel ForceIndexLevel(IndexLevel level) {
    g_level = level < g_bestLevel ? level : g_bestLevel;
    return g_level;
}

const char *IndexLevelName(IndexLevel level) {
    switch (level) {
        case IndexLevel::Portable:
            return "portable";
        case IndexLevel::Sse2:
            return "SSE2";
        case IndexLevel::Avx2:
            return "AVX2";
    }
    return "?";
}

ScopedIndexLevel::ScopedIndexLevel(IndexLevel level)
    : m_before(CurrentIndexLevel()), m_level(ForceIndexLevel(level)) {}

ScopedIndexLevel::~ScopedIndexLevel() {
    ForceIndexLevel(m_before);
}

}  // namespace sapidoro
