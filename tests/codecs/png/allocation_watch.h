#pragma once
// The largest single heap block asked for through operator new while a
// watch is alive: a reader that allocates a picture before its data is
// there shows up as one huge block.
#include <cstddef>

namespace pc::test {

class AllocationWatch {
public:
    AllocationWatch();
    ~AllocationWatch();
    AllocationWatch(const AllocationWatch&) = delete;
    AllocationWatch& operator=(const AllocationWatch&) = delete;
    size_t Largest() const;
};

} // namespace pc::test
