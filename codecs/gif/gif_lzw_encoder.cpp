#include "codecs/gif/gif_lzw_encoder.h"

namespace pc::gif {

void THashTable::Insert(uint32_t key, int code)
{
    int h = Hash(key);
    while (slots_[size_t(h)] != 0xFFFFFFFFu)
        h = NextProbe(h);
    slots_[size_t(h)] = key << 12 | uint32_t(code);
}

int THashTable::Lookup(uint32_t key) const
{
    for (int h = Hash(key);; h = NextProbe(h)) {
        uint32_t e = slots_[size_t(h)];
        if (e == 0xFFFFFFFFu)
            return -1;
        if ((e >> 12) == key)
            return int(e & 0xFFF);
    }
}

void TLZWEncoder::EmitCode(int code)
{
    TGIFEncoder::EmitCode(code);
    if (clearPending_) {
        codeWidth_ = initCodeSize_ + 1;
        limit_ = (1 << codeWidth_) - 1;
        clearPending_ = false;
    } else if (nextFree_ > limit_) {
        if (codeWidth_ == 12) {
            limit_ = 4096;
        } else {
            ++codeWidth_;
            limit_ = (1 << codeWidth_) - 1;
        }
    }
}

void TLZWEncoder::EmitClear()
{
    clearPending_ = true;
    table_.Clear();
    nextFree_ = firstFree_;
    TGIFEncoder::EmitClear();
}

void TLZWEncoder::Compress()
{
    limit_ = (1 << codeWidth_) - 1;
    EmitClear();
    int prefix = NextPixel();
    while (PixelsLeft() > 0) {
        int p = NextPixel();
        uint32_t key = uint32_t(prefix) << 8 | uint32_t(p);
        int code = table_.Lookup(key);
        if (code >= 0) {
            prefix = code;
            continue;
        }
        EmitCode(prefix);
        prefix = p;
        if (nextFree_ >= 4095)
            EmitClear(); // code 4095 is never assigned
        else
            table_.Insert(key, nextFree_++);
    }
    EmitCode(prefix);
}

} // namespace pc::gif
