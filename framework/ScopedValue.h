#pragma once
// Gives a variable a value for the length of a scope and puts the old one back.

#include <utility>

template <typename T>
class ScopedValue {
public:
    // Only keeps the value, for code in the scope that changes it.
    explicit ScopedValue(T& place) : place_(place), saved_(place) {}
    ScopedValue(T& place, T value) : place_(place), saved_(place) { place_ = std::move(value); }
    ScopedValue(const ScopedValue&) = delete;
    ScopedValue& operator=(const ScopedValue&) = delete;
    ~ScopedValue() { place_ = std::move(saved_); }

private:
    T& place_;
    T saved_;
};
