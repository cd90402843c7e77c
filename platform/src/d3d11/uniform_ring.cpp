#include "uniform_ring.h"
#include <cstring>

namespace platform {

UniformRing::UniformRing() {
    GLint alignment = 256;
    glGetIntegerv(GL_UNIFORM_BUFFER_OFFSET_ALIGNMENT, &alignment);
    if (alignment > 0) alignment_ = size_t(alignment);
    const GLbitfield flags = GL_MAP_WRITE_BIT | GL_MAP_PERSISTENT_BIT | GL_MAP_COHERENT_BIT;
    glCreateBuffers(1, &name_);
    glNamedBufferStorage(name_, kSize, nullptr, flags);
    mapped_ = static_cast<uint8_t*>(glMapNamedBufferRange(name_, 0, kSize, flags));
}

UniformRing::~UniformRing() {
    for (GLsync fence : fences_) {
        if (fence) glDeleteSync(fence);
    }
    if (mapped_) glUnmapNamedBuffer(name_);
    glDeleteBuffers(1, &name_);
}

UniformRing::Slice UniformRing::Push(const void* data, size_t size) {
    const size_t aligned = Aligned(size);
    if (head_ + aligned > (segment_ + 1) * kSegment) EnterNextSegment();
    const Slice slice{GLintptr(head_), pushed_};
    if (mapped_) std::memcpy(mapped_ + head_, data, size);
    head_ += aligned;
    pushed_ += aligned;
    return slice;
}

void UniformRing::EnterNextSegment() {
    const size_t next = (segment_ + 1) % kSegments;
    if (fences_[segment_]) glDeleteSync(fences_[segment_]);
    fences_[segment_] = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    if (fences_[next]) {
        while (glClientWaitSync(fences_[next], GL_SYNC_FLUSH_COMMANDS_BIT, 1000000000ull) == GL_TIMEOUT_EXPIRED) {
        }
        glDeleteSync(fences_[next]);
        fences_[next] = nullptr;
    }
    pushed_ += (segment_ + 1) * kSegment - head_;
    segment_ = next;
    head_ = next * kSegment;
}

}  // namespace platform
