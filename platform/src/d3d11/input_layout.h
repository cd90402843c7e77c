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

private:
    explicit InputLayout(Device& device) : DeviceChild(device) {}
    ~InputLayout() override;
    GLuint vertexArray_ = 0;
    uint32_t slots_ = 0;
};

}  // namespace platform
