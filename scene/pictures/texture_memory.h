#pragma once
// One memory budget for all the pictures of a scene. Every texture counts
// what it holds: its texels at 4 bytes at the power-of-two size GLU scales it
// to, plus a third for its mipmaps. The budget is a quarter of the machine's
// memory, so a scene of many large pictures is refused picture by picture
// instead of taking the machine down.
#include <cstdint>
#include <string>
#include <unordered_map>

namespace pc {

// Bytes a mipmapped texture of a picture of this size takes.
int64_t TextureBytes(int64_t width, int64_t height);

// "123 MB", rounded up.
std::string MegabytesText(int64_t bytes);

class TextureMemory {
public:
    // The budget of the program's textures.
    static TextureMemory& Scene();

    explicit TextureMemory(int64_t budget) : budget_(budget) {}

    int64_t Budget() const { return budget_; }
    void SetBudget(int64_t bytes) { budget_ = bytes; }
    int64_t Used() const { return used_; }

    // Throws Error naming the picture and the budget when bytes more, with
    // freed given back first, would pass it.
    void Check(const std::string& picture, int64_t bytes, int64_t freed = 0) const;
    void Charge(uint32_t texture, int64_t bytes);
    void Release(uint32_t texture);
    // The context that held the textures is gone, and they with it.
    void ReleaseAll();

private:
    int64_t budget_;
    int64_t used_ = 0;
    std::unordered_map<uint32_t, int64_t> charged_;
};

// A quarter of the machine's memory.
int64_t DefaultSceneBudget();

} // namespace pc
