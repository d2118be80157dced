#pragma once
// The chunks of a picture in file order, with the rules for where a new
// ancillary chunk may go.
#include <memory>
#include <string>
#include <vector>

#include "codecs/png/png_chunk.h"

namespace pc::png {

class TPNGList {
public:
    explicit TPNGList(TPNGObject& owner) : owner_(owner) {}

    int Count() const { return int(items_.size()); }
    // Null when index is out of range.
    TChunk* Item(int index) const;
    int IndexOf(const TChunk* chunk) const;

    void Append(std::unique_ptr<TChunk> chunk);
    // Inserts only at an existing position; later chunks move up.
    void Insert(std::unique_ptr<TChunk> chunk, int position);
    std::unique_ptr<TChunk> Remove(const TChunk* chunk);
    void Clear() { items_.clear(); }
    // Hands out every chunk (the list is empty afterwards) and puts them back.
    std::vector<std::unique_ptr<TChunk>> TakeAll() { return std::move(items_); }
    void Restore(std::vector<std::unique_ptr<TChunk>> items) { items_ = std::move(items); }

    // The first chunk of class T or a class derived from it.
    template <class T>
    T* FindChunk() const
    {
        for (const auto& c : items_)
            if (auto* t = dynamic_cast<T*>(c.get()))
                return t;
        return nullptr;
    }

    // Creates an ancillary chunk of the registered class for name and puts
    // it where the file format allows.
    TChunk& Add(const std::string& name);
    template <class T>
    T& Add()
    {
        return static_cast<T&>(Add(T::kName));
    }

private:
    int IndexOfName(const std::string& name) const;

    TPNGObject& owner_;
    std::vector<std::unique_ptr<TChunk>> items_;
};

} // namespace pc::png
