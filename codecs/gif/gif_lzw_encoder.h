#pragma once
// LZW image-data encoder: strings are looked up in an open-addressed hash
// table instead of a trie, so the pixel loop never allocates.
#include <array>
#include <cstdint>

#include "codecs/gif/gif_encoder.h"

namespace pc::gif {

// 8009 slots (prime, over twice the 4096 codes). An entry is key << 12 | code
// with key = prefix x 256 + pixel; all ones marks an empty slot.
class THashTable {
public:
    static constexpr int kSize = 8009;
    THashTable() { Clear(); }
    void Clear() { slots_.fill(0xFFFFFFFFu); }
    // The code stored for key, or -1 and the empty slot where it belongs.
    int Find(uint32_t key, int& slot) const
    {
        for (int h = Hash(key);; h = NextProbe(h)) {
            uint32_t e = slots_[size_t(h)];
            if (e == 0xFFFFFFFFu) {
                slot = h;
                return -1;
            }
            if ((e >> 12) == key)
                return int(e & 0xFFF);
        }
    }
    void Store(int slot, uint32_t key, int code) { slots_[size_t(slot)] = key << 12 | uint32_t(code); }

private:
    static int Hash(uint32_t key) { return int(((key >> 4) ^ key) % kSize); }
    // Doubling modulo the prime; slot 0 steps to the last slot. At most 3837
    // codes are ever stored, fewer than either 4004-slot cycle holds, so a
    // probe always meets an empty slot.
    static int NextProbe(int h)
    {
        if (h == 0)
            return kSize - 1;
        h -= kSize - h;
        return h < 0 ? h + kSize : h;
    }
    std::array<uint32_t, kSize> slots_;
};

class TLZWEncoder : public TGIFEncoder {
protected:
    void Compress() override;
    void EmitCode(int code) override;
    void EmitClear() override;

private:
    // Packs a code and widens the codes once the next free one no longer fits.
    void Output(int code)
    {
        Pack(code);
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

    THashTable table_;
    int nextFree_ = 0;
    int limit_ = 0;
    bool clearPending_ = false;
};

} // namespace pc::gif
