#pragma once

#include <utility>

namespace fw {

// Owns one value of a Win32 resource kind and releases it exactly once.
// Traits supply `Type`, `Invalid()` and `Close(Type)`. Non-copyable, movable.
template <typename Traits>
class UniqueResource {
public:
    using Type = typename Traits::Type;

    UniqueResource() noexcept = default;
    explicit UniqueResource(Type value) noexcept : value_(value) {}
    ~UniqueResource() { reset(); }

    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;

    UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept
    {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }

    Type get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Traits::Invalid(); }

    // Releases the current value and hands out its slot for an out-parameter.
    Type* put() noexcept
    {
        reset();
        return &value_;
    }

    void reset(Type value = Traits::Invalid()) noexcept
    {
        Type old = std::exchange(value_, value);
        if (old != Traits::Invalid()) {
            Traits::Close(old);
        }
    }

    Type release() noexcept { return std::exchange(value_, Traits::Invalid()); }

private:
    Type value_ = Traits::Invalid();
};

} // namespace fw
