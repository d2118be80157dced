#pragma once
// Gives a variable a value for the length of a scope and puts the old one
// back however the scope ends, exceptions included.
#include <utility>

namespace pc {

template <class T>
class ScopedValue {
public:
    // Keeps the value to put back; the scope may change the variable.
    explicit ScopedValue(T& value) : value_(value), old_(value) {}
    // Sets the variable to `during` until the scope ends.
    ScopedValue(T& value, T during) : value_(value), old_(std::exchange(value, std::move(during))) {}
    ~ScopedValue() { value_ = std::move(old_); }
    ScopedValue(const ScopedValue&) = delete;
    ScopedValue& operator=(const ScopedValue&) = delete;

private:
    T& value_;
    T old_;
};

} // namespace pc
