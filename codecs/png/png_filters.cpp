#include "codecs/png/png_filters.h"

#include <cstdlib>

namespace pc::png {

uint8_t PaethPredictor(uint8_t left, uint8_t above, uint8_t upperLeft)
{
    int pa = std::abs(int(above) - upperLeft);
    int pb = std::abs(int(left) - upperLeft);
    int pc = std::abs(int(left) + above - 2 * upperLeft);
    if (pa <= pb && pa <= pc)
        return left;
    return pb <= pc ? above : upperLeft;
}

namespace {

// Paeth with the byte loop unrolled per pixel size, so the compiler keeps
// the left and upper-left bytes in registers.
template <int Bpp>
void UnPaeth(uint8_t* row, const uint8_t* prev, size_t n)
{
    size_t first = n < size_t(Bpp) ? n : size_t(Bpp);
    for (size_t i = 0; i < first; ++i)
        row[i] = uint8_t(row[i] + prev[i]);
    for (size_t i = Bpp; i < n; ++i) {
        int a = row[i - Bpp], b = prev[i], c = prev[i - Bpp];
        int p = b - c, q = a - c;
        int pa = std::abs(p), pb = std::abs(q), pc = std::abs(p + q);
        int pred = (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
        row[i] = uint8_t(row[i] + pred);
    }
}

template <int Bpp>
void UnSub(uint8_t* row, size_t n)
{
    for (size_t i = Bpp; i < n; ++i)
        row[i] = uint8_t(row[i] + row[i - Bpp]);
}

template <int Bpp>
void UnAverage(uint8_t* row, const uint8_t* prev, size_t n)
{
    size_t first = n < size_t(Bpp) ? n : size_t(Bpp);
    for (size_t i = 0; i < first; ++i)
        row[i] = uint8_t(row[i] + (prev[i] >> 1));
    for (size_t i = Bpp; i < n; ++i)
        row[i] = uint8_t(row[i] + ((row[i - Bpp] + prev[i]) >> 1));
}

template <int Bpp>
void Unfilter(uint8_t filter, uint8_t* row, const uint8_t* prev, size_t n)
{
    switch (filter) {
    case kFilterSub: UnSub<Bpp>(row, n); break;
    case kFilterUp:
        for (size_t i = 0; i < n; ++i)
            row[i] = uint8_t(row[i] + prev[i]);
        break;
    case kFilterAverage: UnAverage<Bpp>(row, prev, n); break;
    case kFilterPaeth: UnPaeth<Bpp>(row, prev, n); break;
    default: break;
    }
}

} // namespace

void UnfilterRow(uint8_t filter, uint8_t* row, const uint8_t* previous, size_t n, int bpp)
{
    switch (bpp) {
    case 1: Unfilter<1>(filter, row, previous, n); break;
    case 2: Unfilter<2>(filter, row, previous, n); break;
    case 3: Unfilter<3>(filter, row, previous, n); break;
    case 4: Unfilter<4>(filter, row, previous, n); break;
    case 6: Unfilter<6>(filter, row, previous, n); break;
    default: Unfilter<8>(filter, row, previous, n); break;
    }
}

void FilterRow(uint8_t filter, const uint8_t* raw, const uint8_t* prev, uint8_t* out, size_t n, int bpp)
{
    size_t b = size_t(bpp) < n ? size_t(bpp) : n;
    switch (filter) {
    case kFilterSub:
        for (size_t i = 0; i < b; ++i)
            out[i] = raw[i];
        for (size_t i = b; i < n; ++i)
            out[i] = uint8_t(raw[i] - raw[i - b]);
        break;
    case kFilterUp:
        for (size_t i = 0; i < n; ++i)
            out[i] = uint8_t(raw[i] - prev[i]);
        break;
    case kFilterAverage:
        for (size_t i = 0; i < b; ++i)
            out[i] = uint8_t(raw[i] - (prev[i] >> 1));
        for (size_t i = b; i < n; ++i)
            out[i] = uint8_t(raw[i] - ((raw[i - b] + prev[i]) >> 1));
        break;
    case kFilterPaeth:
        for (size_t i = 0; i < b; ++i)
            out[i] = uint8_t(raw[i] - prev[i]);
        for (size_t i = b; i < n; ++i)
            out[i] = uint8_t(raw[i] - PaethPredictor(raw[i - b], prev[i], prev[i - b]));
        break;
    default:
        for (size_t i = 0; i < n; ++i)
            out[i] = raw[i];
        break;
    }
}

static size_t RepeatScore(const uint8_t* b, size_t n)
{
    size_t score = 0;
    for (size_t i = 2; i < n; ++i)
        score += (b[i] == b[i - 1] || b[i] == b[i - 2]);
    return score;
}

uint8_t ChooseFilter(FilterSet set, const uint8_t* raw, const uint8_t* previous, uint8_t* const outputs[5], size_t n,
                     int bpp)
{
    set &= kAllFilters;
    if ((set & ~FilterSet(1)) == 0)
        return kFilterNone;
    for (uint8_t f = 1; f < 5; ++f)
        if (set & (1 << f))
            FilterRow(f, raw, previous, outputs[f], n, bpp);
    size_t best = 0;
    uint8_t choice = kFilterNone;
    for (uint8_t f = 0; f < 5; ++f) {
        if (!(set & (1 << f)))
            continue;
        if (set == (1 << f))
            return f;
        size_t score = RepeatScore(f == 0 ? raw : outputs[f], n);
        if (score > best) {
            best = score;
            choice = f;
        }
    }
    return choice;
}

} // namespace pc::png
