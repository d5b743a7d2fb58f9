#pragma once

// Searches over UTF-16 text that look at eight units at a time where the processor can
// (SSE2, which every x86-64 processor has), for the loops that read and write subtitles of
// many megabytes; a unit at a time elsewhere. Inline, since they run once per short line.

#include <bit>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The first unit in [at, end) equal to a or b; end when there is none.
inline const char16_t* FindEitherUnit(const char16_t* at, const char16_t* end, char16_t a,
                                      char16_t b)
{
#if defined(__SSE2__)
    const __m128i wantA = _mm_set1_epi16(short(a));
    const __m128i wantB = _mm_set1_epi16(short(b));
    for (; end - at >= 8; at += 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        const __m128i hits =
            _mm_or_si128(_mm_cmpeq_epi16(units, wantA), _mm_cmpeq_epi16(units, wantB));
        const unsigned mask = unsigned(_mm_movemask_epi8(hits));
        if (mask != 0)
            return at + std::countr_zero(mask) / 2;
    }
#endif
    for (; at != end; ++at) {
        if (*at == a || *at == b)
            return at;
    }
    return end;
}

inline const char16_t* FindUnit(const char16_t* at, const char16_t* end, char16_t unit)
{
    return FindEitherUnit(at, end, unit, unit);
}

// The end of the run of units at the start of [at, end) that are ASCII and neither CR nor LF:
// the units that UTF-8 with CR LF writes as they are, one byte each, copied to dst. Eight
// bytes are written for every eight units looked at, whatever the run's length: room for three
// bytes a unit of [at, end), as the encoders set aside, is always enough.
inline const char16_t* CopyPlainAscii(const char16_t* at, const char16_t* end, char*& dst)
{
#if defined(__SSE2__)
    const __m128i notAscii = _mm_set1_epi16(short(0xFF80));
    const __m128i zero = _mm_setzero_si128();
    const __m128i cr = _mm_set1_epi16('\r');
    const __m128i lf = _mm_set1_epi16('\n');
    while (end - at >= 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        const __m128i ascii = _mm_cmpeq_epi16(_mm_and_si128(units, notAscii), zero);
        const __m128i breaks = _mm_or_si128(_mm_cmpeq_epi16(units, cr), _mm_cmpeq_epi16(units, lf));
        const unsigned plain = unsigned(_mm_movemask_epi8(_mm_andnot_si128(breaks, ascii)));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(dst), _mm_packus_epi16(units, units));
        if (plain != 0xFFFF) {
            const int count = std::countr_zero(~plain) / 2;
            at += count;
            dst += count;
            return at;
        }
        at += 8;
        dst += 8;
    }
#endif
    for (; at != end && *at < 0x80 && *at != u'\r' && *at != u'\n'; ++at)
        *dst++ = char(*at);
    return at;
}
