// Input layouts: a vertex-array object with the attribute formats at the shader's locations.
#pragma once
#include <array>
#include "device.h"

namespace platform {

class InputLayout final : public DeviceChild<ID3D11InputLayout> {
public:
    static HRESULT Create(Device& device, const D3D11_INPUT_ELEMENT_DESC* elements, UINT numElements,
                          const void* signature, SIZE_T signatureLength, ID3D11InputLayout** layout);
    GLuint VertexArray() const { return vertexArray_; }
    // Bit i set when input slot i feeds an attribute: the slots whose buffers a draw attaches.
    uint32_t Slots() const { return slots_; }
    // The buffers last attached to the vertex array, by serial, so a draw attaches only what changed.
    struct Attached {
        std::array<uint64_t, D3D11_IA_VERTEX_INPUT_RESOURCE_SLOT_COUNT> buffers = {};
        std::array<UINT, D3D11_IA_VERTEX_INPUT_RESOURCE_SLOT_COUNT> strides = {}, offsets = {};
        uint64_t indexBuffer = 0;
    } attached;

private:
    explicit InputLayout(Device& device) : DeviceChild(device) {}
    ~InputLayout() override;
    GLuint vertexArray_ = 0;
    uint32_t slots_ = 0;
};

}  // namespace platform
