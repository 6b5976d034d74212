#pragma once

#include <cstdint>
#include <vector>

namespace ocuvis {

// Colours (0xRRGGBB) to a number: a count or a palette index. Open addressing, as frames look
// up every pixel and std::unordered_map costs several times as much there.
class ColourMap {
  public:
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

    explicit ColourMap(int expected = 256) { Reset(expected); }

    void Reset(int expected) {
        int capacity = 16;
        shift_ = 28;
        while (capacity < expected * 2) {
            capacity *= 2;
            --shift_;
        }
        keys_.assign(static_cast<std::size_t>(capacity), kNone);
        values_.assign(static_cast<std::size_t>(capacity), 0);
        size_ = 0;
    }
    int size() const { return size_; }

    // The value stored for a colour, inserting 0 for a new one.
    std::uint32_t& operator[](std::uint32_t colour) {
        std::size_t slot = Slot(colour);
        if (keys_[slot] == kNone) {
            if ((size_ + 1) * 2 > static_cast<int>(keys_.size())) {
                Grow();
                slot = Slot(colour);
            }
            keys_[slot] = colour;
            ++size_;
        }
        return values_[slot];
    }
    // The value of a colour, or kNone when it is not in the map.
    std::uint32_t Find(std::uint32_t colour) const {
        const std::size_t slot = Slot(colour);
        return keys_[slot] == kNone ? kNone : values_[slot];
    }
    bool Contains(std::uint32_t colour) const { return keys_[Slot(colour)] != kNone; }

    // Visits each colour with its value, which the visitor may change.
    template <typename Visit>
    void ForEach(Visit visit) {
        for (std::size_t i = 0; i < keys_.size(); ++i)
            if (keys_[i] != kNone) visit(keys_[i], values_[i]);
    }

  private:
    std::size_t Slot(std::uint32_t colour) const {
        const std::size_t mask = keys_.size() - 1;
        // Fibonacci hashing: the product's top bits mix all of the colour's bits.
        std::size_t slot = (colour * 0x9E3779B1u) >> shift_;
        while (keys_[slot] != kNone && keys_[slot] != colour)
            slot = (slot + 1) & mask;
        return slot;
    }
    void Grow() {
        const std::vector<std::uint32_t> keys = std::move(keys_);
        const std::vector<std::uint32_t> values = std::move(values_);
        Reset(static_cast<int>(keys.size()));
        for (std::size_t i = 0; i < keys.size(); ++i)
            if (keys[i] != kNone) (*this)[keys[i]] = values[i];
    }

    std::vector<std::uint32_t> keys_;
    std::vector<std::uint32_t> values_;
    int size_ = 0;
    int shift_ = 28;
};

}  // namespace ocuvis
