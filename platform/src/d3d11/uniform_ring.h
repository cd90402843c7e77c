// Uniform space for draws. Every version of a constant buffer that a draw reads is copied into its own slice of
// one persistently mapped GL buffer, so writing a buffer never makes the rasteriser finish the draws that read
// its earlier contents (a buffer update through GL would). The ring is cut into segments: leaving one places a
// fence, and writing into one again first waits for its fence, which the rasteriser has long passed by then.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include "gl.h"

namespace platform {

class UniformRing {
public:
    struct Slice {
        GLintptr offset = 0;
        uint64_t position = 0;  // bytes pushed before this slice: tells whether the ring has overwritten it since
    };

    UniformRing();
    ~UniformRing();
    UniformRing(const UniformRing&) = delete;
    UniformRing& operator=(const UniformRing&) = delete;

    GLuint Name() const { return name_; }
    // Copies `size` bytes (at most a segment) into the ring.
    Slice Push(const void* data, size_t size);
    // True while the slice's bytes are still in the ring, and will be through pushes taking `upcoming` bytes.
    bool Holds(const Slice& slice, size_t upcoming) const {
        return pushed_ + upcoming - slice.position < kSize - kSegment;
    }
    // The most a push of `size` bytes can take: its aligned bytes, and the rest of a segment they do not fit in.
    size_t Footprint(size_t size) const { return 2 * Aligned(size); }

    static constexpr size_t kSize = 4u << 20;
    static constexpr size_t kSegments = 8;
    static constexpr size_t kSegment = kSize / kSegments;

private:
    size_t Aligned(size_t size) const { return (size + alignment_ - 1) / alignment_ * alignment_; }
    void EnterNextSegment();

    GLuint name_ = 0;
    uint8_t* mapped_ = nullptr;
    size_t alignment_ = 256;
    size_t segment_ = 0;
    size_t head_ = 0;
    uint64_t pushed_ = 0;
    std::array<GLsync, kSegments> fences_ = {};
};

}  // namespace platform
