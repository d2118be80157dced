#include "scene/pictures/texture_memory.h"

#include <unistd.h>

#include "platform/errors.h"

namespace pc {

namespace {

// GLU scales a side to the nearest power of two (3 rounds up to 4, 5 down to 4).
int64_t NearestPower(int64_t v)
{
    int64_t p = 1;
    while (v > 1) {
        if (v == 3)
            return p * 4;
        v >>= 1;
        p *= 2;
    }
    return p;
}

} // namespace

int64_t TextureBytes(int64_t width, int64_t height)
{
    const int64_t base = NearestPower(width) * NearestPower(height) * 4;
    return base + base / 3;
}

std::string MegabytesText(int64_t bytes)
{
    constexpr int64_t kMega = int64_t(1) << 20;
    return std::to_string((bytes + kMega - 1) / kMega) + " MB";
}

TextureMemory& TextureMemory::Scene()
{
    static TextureMemory scene(DefaultSceneBudget());
    return scene;
}

void TextureMemory::Check(const std::string& picture, int64_t bytes, int64_t freed) const
{
    if (used_ - freed + bytes <= budget_)
        return;
    throw Error("The picture \"" + picture + "\" does not fit in the scene: it needs " + MegabytesText(bytes) +
                " and the scene's pictures may take at most " + MegabytesText(budget_) +
                " (a quarter of this machine's memory), of which " + MegabytesText(used_ - freed) + " are in use.");
}

void TextureMemory::Charge(uint32_t texture, int64_t bytes)
{
    Release(texture);
    charged_[texture] = bytes;
    used_ += bytes;
}

void TextureMemory::Release(uint32_t texture)
{
    auto it = charged_.find(texture);
    if (it == charged_.end())
        return;
    used_ -= it->second;
    charged_.erase(it);
}

void TextureMemory::ReleaseAll()
{
    charged_.clear();
    used_ = 0;
}

int64_t DefaultSceneBudget()
{
    const long pages = ::sysconf(_SC_PHYS_PAGES), size = ::sysconf(_SC_PAGE_SIZE);
    // Without an answer, as much as a small machine has.
    if (pages <= 0 || size <= 0)
        return int64_t(1) << 30;
    return int64_t(pages) * size / 4;
}

} // namespace pc
