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
    void Insert(uint32_t key, int code);
    int Lookup(uint32_t key) const; // -1 when absent

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
    THashTable table_;
    int nextFree_ = 0;
    int limit_ = 0;
    bool clearPending_ = false;
};

} // namespace pc::gif
