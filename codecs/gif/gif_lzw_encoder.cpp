#include "codecs/gif/gif_lzw_encoder.h"

#include "codecs/gif/gif_errors.h"

namespace pc::gif {

void TLZWEncoder::EmitCode(int code)
{
    if (code == endCode_) {
        TGIFEncoder::EmitCode(code);
        return;
    }
    Output(code);
}

void TLZWEncoder::EmitClear()
{
    clearPending_ = true;
    table_.Clear();
    // The roots start without a child; a later code is reset when it is assigned.
    std::fill_n(lastChild_.begin(), clearCode_, 0xFFFFFFFFu);
    nextFree_ = firstFree_;
    TGIFEncoder::EmitClear();
}

void TLZWEncoder::Compress()
{
    limit_ = (1 << codeWidth_) - 1;
    table_.Reset(PixelsLeft());
    EmitClear();
    const int width = RowWidth();
    const std::vector<int>& rows = RowsInFileOrder();
    int prefix = Row(rows[0])[0];
    if (prefix >= colorCount_)
        RaiseGIFError(msg::kColorNotInTable);
    for (size_t r = 0; r < rows.size(); ++r) {
        const uint8_t* row = Row(rows[r]);
        for (int x = r == 0 ? 1 : 0; x < width; ++x) {
            const int p = row[x];
            if (p >= colorCount_)
                RaiseGIFError(msg::kColorNotInTable);
            uint32_t& last = lastChild_[size_t(prefix)];
            if ((last >> 12) == uint32_t(p)) {
                prefix = int(last & 0xFFF);
                continue;
            }
            const uint32_t key = uint32_t(prefix) << 8 | uint32_t(p);
            uint32_t slot;
            const int code = table_.Find(key, slot);
            if (code >= 0) {
                last = uint32_t(p) << 12 | uint32_t(code);
                prefix = code;
                continue;
            }
            Output(prefix);
            if (nextFree_ >= 4095) {
                EmitClear(); // code 4095 is never assigned
            } else {
                last = uint32_t(p) << 12 | uint32_t(nextFree_);
                lastChild_[size_t(nextFree_)] = 0xFFFFFFFFu;
                table_.Store(slot, key, nextFree_++);
            }
            prefix = p;
        }
    }
    Output(prefix);
}

} // namespace pc::gif
