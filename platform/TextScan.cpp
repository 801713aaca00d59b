#include "platform/TextScan.hpp"

#include <bit>
#include <cstring>

#if defined(__SSE2__) && !defined(QUORVEL_NO_SIMD)
#define QUORVEL_SSE2 1
#include <emmintrin.h>
#endif

namespace quorvel {
namespace {

#ifdef QUORVEL_SSE2
__m128i Load(const void* at) { return _mm_loadu_si128(static_cast<const __m128i*>(at)); }
std::size_t FirstBit(int mask) { return static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(mask))); }

// The offset of the first byte of text that `marked` marks, or text's size.
// marked(sixteen bytes) sets a bit of its mask for each byte it marks; a
// short text is looked at padded with 'a', which it must not mark.
template <typename Marked>
std::size_t FirstMarked(std::string_view text, Marked&& marked) {
    const char* p = text.data();
    const std::size_t n = text.size();
    if (n < 16) {
        char padded[16];
        std::memset(padded, 'a', sizeof padded);
        if (n != 0) std::memcpy(padded, p, n);
        const int mask = marked(Load(padded));
        return mask != 0 ? FirstBit(mask) : n;
    }
    std::size_t i = 0;
    for (; i + 16 <= n; i += 16)
        if (const int mask = marked(Load(p + i)); mask != 0) return i + FirstBit(mask);
    if (i == n) return n;
    // The last sixteen bytes, of which those before i were seen already.
    const int mask = marked(Load(p + n - 16)) >> (i - (n - 16));
    return mask != 0 ? i + FirstBit(mask) : n;
}
#endif

std::uint16_t UnitAt(const std::uint8_t* bytes, std::size_t i) {
    return static_cast<std::uint16_t>(bytes[i] | (bytes[i + 1] << 8));
}

}  // namespace

std::size_t FindUtf16Unit(const std::uint8_t* bytes, std::size_t i, std::size_t length, std::uint16_t unit) {
#ifdef QUORVEL_SSE2
    // Eight units at a time.
    const __m128i wanted = _mm_set1_epi16(static_cast<short>(unit));
    for (; i + 16 <= length; i += 16)
        if (const int mask = _mm_movemask_epi8(_mm_cmpeq_epi16(Load(bytes + i), wanted)); mask != 0)
            return i + FirstBit(mask);
#endif
    while (i + 2 <= length && UnitAt(bytes, i) != unit) i += 2;
    return i;
}

std::size_t CopyAsciiUtf16(const std::uint8_t* bytes, std::size_t k, std::size_t to, char* dst) {
#ifdef QUORVEL_SSE2
    // Eight units at a time while each is ASCII and not NUL: their low bytes.
    const __m128i zero = _mm_setzero_si128();
    const __m128i notAscii = _mm_set1_epi16(static_cast<short>(0xFF80));
    for (; k + 16 <= to; k += 16) {
        const __m128i units = Load(bytes + k);
        const __m128i odd = _mm_or_si128(_mm_cmpeq_epi16(units, zero),
                                         _mm_xor_si128(_mm_cmpeq_epi16(_mm_and_si128(units, notAscii), zero),
                                                       _mm_cmpeq_epi16(zero, zero)));
        if (_mm_movemask_epi8(odd) != 0) break;
        _mm_storel_epi64(reinterpret_cast<__m128i*>(dst), _mm_packus_epi16(units, units));
        dst += 8;
    }
#endif
    for (; k + 2 <= to; k += 2) {
        const std::uint16_t unit = UnitAt(bytes, k);
        if (unit == 0 || unit >= 0x80) break;
        *dst++ = static_cast<char>(unit);
    }
    return k;
}

std::size_t PlainAsciiLength(std::string_view text) {
#ifdef QUORVEL_SSE2
    // As signed bytes, those of plain ASCII are above zero.
    return FirstMarked(text, [](__m128i v) { return _mm_movemask_epi8(_mm_cmpgt_epi8(v, _mm_setzero_si128())) ^ 0xFFFF; });
#else
    std::size_t i = 0;
    while (i < text.size() && static_cast<unsigned char>(text[i]) - 1u < 0x7Fu) ++i;
    return i;
#endif
}

std::size_t PlainJsonLength(std::string_view utf8) {
#ifdef QUORVEL_SSE2
    // As signed bytes, those above 0x7F are below 0x20 too.
    return FirstMarked(utf8, [](__m128i v) {
        const __m128i special = _mm_or_si128(_mm_cmplt_epi8(v, _mm_set1_epi8(0x20)),
                                             _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('"')),
                                                          _mm_cmpeq_epi8(v, _mm_set1_epi8('\\'))));
        return _mm_movemask_epi8(special);
    });
#else
    std::size_t i = 0;
    for (; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x20 || c >= 0x80 || c == '"' || c == '\\') break;
    }
    return i;
#endif
}

}  // namespace quorvel
