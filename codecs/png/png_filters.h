#pragma once
// The five PNG row filters, both ways. Rows here exclude the filter-type
// byte; bpp is the byte distance to the left neighbour (at least 1).
#include <cstddef>
#include <cstdint>

namespace pc::png {

enum FilterType : uint8_t { kFilterNone = 0, kFilterSub = 1, kFilterUp = 2, kFilterAverage = 3, kFilterPaeth = 4 };

// Filter sets: bit f stands for filter type f.
using FilterSet = uint8_t;
inline constexpr FilterSet kAllFilters = 0x1F;

uint8_t PaethPredictor(uint8_t left, uint8_t above, uint8_t upperLeft);

// Undoes the filter in place; the type must be one of the five (the
// decoder refuses rows with any other).
void UnfilterRow(uint8_t filter, uint8_t* row, const uint8_t* previous, size_t n, int bpp);

// out = raw filtered with type f against previous.
void FilterRow(uint8_t filter, const uint8_t* raw, const uint8_t* previous, uint8_t* out, size_t n, int bpp);

// Picks the filter for a row among the set: a lone filter is always used;
// otherwise the one whose output repeats a byte of the two before it most
// often (earlier type on a tie, None when all score 0). outputs[f] must hold
// room for n bytes for every f in the set; outputs[0] is ignored (None is
// the raw row). Returns the type; its bytes are raw or outputs[type].
uint8_t ChooseFilter(FilterSet set, const uint8_t* raw, const uint8_t* previous, uint8_t* const outputs[5], size_t n,
                     int bpp);

} // namespace pc::png
