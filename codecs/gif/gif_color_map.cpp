#include "codecs/gif/gif_color_map.h"

#include <algorithm>
#include <numeric>

#include "codecs/gif/gif_errors.h"

namespace pc::gif {

int BitsForColorCount(int n)
{
    if (n <= 0)
        return 0;
    int b = 1;
    while ((1 << b) < n)
        ++b;
    return b;
}

void TGIFColorMap::Clear()
{
    data_.clear();
    count_ = capacity_ = 0;
    optimized_ = false;
}

void TGIFColorMap::SetCapacity(int n)
{
    if (n < capacity_)
        return;
    int cap = n <= 16 ? 16 : (n + 31) / 32 * 32;
    capacity_ = std::min(cap, 256);
    data_.resize(size_t(capacity_));
}

int TGIFColorMap::Add(TGIFColor c)
{
    if (count_ >= 256)
        RaiseGIFError(msg::kColorTableOverflow);
    if (count_ >= capacity_)
        SetCapacity(count_ + 1);
    data_[size_t(count_)] = c;
    ++count_;
    optimized_ = false;
    Changed();
    return count_ - 1;
}

int TGIFColorMap::AddUnique(TGIFColor c)
{
    int i = IndexOf(c);
    return i >= 0 ? i : Add(c);
}

int TGIFColorMap::IndexOf(TGIFColor c) const
{
    // A sorted map holds the most used colours first.
    if (optimized_) {
        for (int i = 0; i < count_; ++i)
            if (data_[size_t(i)] == c)
                return i;
    } else {
        for (int i = count_ - 1; i >= 0; --i)
            if (data_[size_t(i)] == c)
                return i;
    }
    return -1;
}

void TGIFColorMap::Delete(int index)
{
    if (index < 0 || index >= count_)
        RaiseGIFError(msg::kInvalidColorIndex);
    data_.erase(data_.begin() + index);
    data_.push_back({});
    --count_;
    optimized_ = false;
    Changed();
}

TGIFColor TGIFColorMap::Color(int index) const
{
    if (index < 0 || index >= count_) {
        Warning(TGIFSeverity::gsWarning, msg::kInvalidColorIndex);
        if (count_ == 0)
            RaiseGIFError(msg::kColorTableEmpty);
        return data_[0];
    }
    return data_[size_t(index)];
}

void TGIFColorMap::SetColor(int index, TGIFColor c)
{
    if (index < 0 || index >= count_)
        RaiseGIFError(msg::kInvalidColorIndex);
    data_[size_t(index)] = c;
    optimized_ = false;
    Changed();
}

void TGIFColorMap::ImportPalette(const std::vector<RGBQuad>& palette)
{
    ImportColorTable(palette.data(), int(std::min<size_t>(palette.size(), 256)));
}

void TGIFColorMap::ImportColorMap(const TGIFColor* colors, int n)
{
    Clear();
    n = std::clamp(n, 0, 256);
    SetCapacity(n);
    std::copy(colors, colors + n, data_.begin());
    count_ = n;
    Changed();
}

void TGIFColorMap::ImportColorTable(const RGBQuad* table, int n)
{
    Clear();
    n = std::clamp(n, 0, 256);
    SetCapacity(n);
    for (int i = 0; i < n; ++i)
        data_[size_t(i)] = {table[i].red, table[i].green, table[i].blue};
    count_ = n;
    Changed();
}

std::vector<RGBQuad> TGIFColorMap::ExportPalette() const
{
    std::vector<RGBQuad> pal(static_cast<size_t>(count_));
    for (int i = 0; i < count_; ++i)
        pal[size_t(i)] = {data_[size_t(i)].Blue, data_[size_t(i)].Green, data_[size_t(i)].Red, 0};
    return pal;
}

void TGIFColorMap::Assign(const TGIFColorMap& other)
{
    if (&other == this)
        return;
    data_ = other.data_;
    count_ = other.count_;
    capacity_ = other.capacity_;
    optimized_ = other.optimized_;
    Changed();
}

void TGIFColorMap::SaveToStream(ByteWriter& w) const
{
    if (count_ == 0)
        return;
    for (int i = 0; i < count_; ++i) {
        w.u8(data_[size_t(i)].Red);
        w.u8(data_[size_t(i)].Green);
        w.u8(data_[size_t(i)].Blue);
    }
    for (int i = count_; i < (1 << BitsPerPixel()); ++i) {
        w.u8(0);
        w.u8(0);
        w.u8(0);
    }
}

void TGIFColorMap::LoadFromStream(ByteReader& r, int n)
{
    Clear();
    SetCapacity(n);
    auto bytes = ReadExact(r, size_t(n) * 3);
    for (int i = 0; i < n; ++i)
        data_[size_t(i)] = {bytes[size_t(i) * 3], bytes[size_t(i) * 3 + 1], bytes[size_t(i) * 3 + 2]};
    count_ = n;
}

bool TGIFColorMap::DoOptimize()
{
    if (count_ < 2)
        return false;
    optimized_ = true;
    Histogram usage{};
    BuildHistogram(usage);
    // Most used first; equal counts keep their index order so the result is reproducible.
    std::vector<int> order(static_cast<size_t>(count_));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return usage[size_t(a)] > usage[size_t(b)]; });
    bool same = true;
    for (int i = 0; i < count_; ++i)
        same = same && order[size_t(i)] == i;
    if (same)
        return true;

    Translation map{};
    for (int i = 0; i < 256; ++i)
        map[size_t(i)] = uint8_t(i);
    for (int i = 0; i < count_; ++i)
        map[size_t(order[size_t(i)])] = uint8_t(i);
    MapImages(map);

    std::vector<TGIFColor> sorted(data_.size());
    int newCount = count_;
    for (int i = 0; i < count_; ++i) {
        sorted[size_t(i)] = data_[size_t(order[size_t(i)])];
        if (usage[size_t(order[size_t(i)])] == 0 && newCount == count_)
            newCount = i;
    }
    data_ = std::move(sorted);
    count_ = newCount;
    Changed();
    return true;
}

} // namespace pc::gif
