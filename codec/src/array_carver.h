// Typed arrays carved out of the search's untyped working memory, as the chain walk, the index
// and the suffix sorter lay out their tables.
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <new>
#include <span>
#include <type_traits>

namespace lzc::detail {

// Hands out arrays from `bytes` one after another, each aligned for its type. Creating an array
// ends the life of whatever lay in its bytes before (the chain walk's tables once the index
// takes their place, the sorter's scratch once the index's tree does), so no memory is ever
// read as a type it was not created as. The values start indeterminate, and creating an array
// writes nothing: pages never written cost nothing.
class ArrayCarver {
public:
    explicit ArrayCarver(std::span<std::byte> bytes) : bytes_(bytes) {}

    template <class T>
    T* take(std::size_t count) {
        static_assert(std::is_trivially_default_constructible_v<T> &&
                      std::is_trivially_destructible_v<T>);
        const auto address = reinterpret_cast<std::uintptr_t>(bytes_.data() + used_);
        used_ += (alignof(T) - address % alignof(T)) % alignof(T);
        assert(used_ <= bytes_.size() && count <= (bytes_.size() - used_) / sizeof(T));
        T* const array = ::new (static_cast<void*>(bytes_.data() + used_)) T[count];
        used_ += count * sizeof(T);
        return array;
    }

    // The bytes not handed out yet.
    std::span<std::byte> rest() const { return bytes_.subspan(used_); }

private:
    std::span<std::byte> bytes_;
    std::size_t used_ = 0;
};

}  // namespace lzc::detail
