#pragma once
// LZW image-data encoder: strings are looked up in an open-addressed hash
// table instead of a trie, so the pixel loop never allocates.
#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "codecs/gif/gif_encoder.h"

namespace pc::gif {

// Open addressing over a power of two of slots, so a probe is a multiply, a
// shift and a compare. An entry is key << 12 | code with key = prefix x 256
// + pixel; all ones marks an empty slot (no key is all ones: code 4095 is
// never assigned, so it is never a prefix).
class THashTable {
public:
    // Twice the codes the picture can make, at most 8192 slots (over twice
    // the 4096 codes), so a small frame fills only a small table.
    void Reset(int64_t pixels)
    {
        int bits = 4;
        while (bits < 13 && (int64_t(1) << bits) < 2 * pixels)
            ++bits;
        shift_ = 32 - bits;
        mask_ = (1u << bits) - 1;
        slots_.assign(size_t(1) << bits, kEmpty);
    }
    void Clear() { std::fill(slots_.begin(), slots_.end(), kEmpty); }
    // The code stored for key, or -1 and the empty slot where it belongs.
    int Find(uint32_t key, uint32_t& slot) const
    {
        for (uint32_t h = (key * 0x9E3779B1u) >> shift_;; h = (h + 1) & mask_) {
            const uint32_t e = slots_[h];
            if ((e >> 12) == key)
                return int(e & 0xFFF);
            if (e == kEmpty) {
                slot = h;
                return -1;
            }
        }
    }
    void Store(uint32_t slot, uint32_t key, int code) { slots_[slot] = key << 12 | uint32_t(code); }

private:
    static constexpr uint32_t kEmpty = 0xFFFFFFFFu;
    std::vector<uint32_t> slots_;
    int shift_ = 32;
    uint32_t mask_ = 0;
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
    // Per code, the pixel and code of the string last found or made by
    // extending it (pixel << 12 | code; all ones for none): runs and
    // repeats find their next string here without a probe.
    std::array<uint32_t, 4096> lastChild_;
    int nextFree_ = 0;
    int limit_ = 0;
    bool clearPending_ = false;
};

} // namespace pc::gif
