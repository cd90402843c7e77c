#include "input_layout.h"
#include <strings.h>
#include "d3d11_layer.h"
#include "context.h"
#include "formats.h"

namespace platform {
namespace {

struct PlacedElement {
    const D3D11_INPUT_ELEMENT_DESC* desc;
    const VertexFormat* format;
    UINT offset;
};

// Resolves formats and appended offsets; false for an element Direct3D would refuse.
bool PlaceElements(const D3D11_INPUT_ELEMENT_DESC* elements, UINT count, std::vector<PlacedElement>* placed) {
    UINT next[D3D11_IA_VERTEX_INPUT_RESOURCE_SLOT_COUNT] = {};
    for (UINT i = 0; i < count; ++i) {
        const D3D11_INPUT_ELEMENT_DESC& e = elements[i];
        const VertexFormat* format = FindVertexFormat(e.Format);
        if (!format || !e.SemanticName || e.InputSlot >= D3D11_IA_VERTEX_INPUT_RESOURCE_SLOT_COUNT) return false;
        if (e.InputSlotClass == D3D11_INPUT_PER_VERTEX_DATA ? e.InstanceDataStepRate != 0
                                                            : e.InputSlotClass != D3D11_INPUT_PER_INSTANCE_DATA) {
            return false;
        }
        const UINT offset =
            e.AlignedByteOffset == D3D11_APPEND_ALIGNED_ELEMENT ? next[e.InputSlot] : e.AlignedByteOffset;
        next[e.InputSlot] = offset + format->bytes;
        placed->push_back({&e, format, offset});
    }
    return true;
}

const PlacedElement* Match(const std::vector<PlacedElement>& placed, const d3d11::SignatureElement& wanted) {
    for (const PlacedElement& p : placed) {
        if (p.desc->SemanticIndex == wanted.semanticIndex &&
            strcasecmp(p.desc->SemanticName, wanted.semantic.c_str()) == 0) {
            return &p;
        }
    }
    return nullptr;
}

bool TypesAgree(const PlacedElement& p, const d3d11::SignatureElement& wanted) {
    return p.format->integer == (wanted.componentType != d3d11::ComponentType::Float);
}

void DescribeAttribute(GLuint vertexArray, GLuint location, const PlacedElement& p) {
    const D3D11_INPUT_ELEMENT_DESC& e = *p.desc;
    glEnableVertexArrayAttrib(vertexArray, location);
    if (p.format->integer) {
        glVertexArrayAttribIFormat(vertexArray, location, p.format->components, p.format->type, p.offset);
    } else {
        glVertexArrayAttribFormat(vertexArray, location, p.format->components, p.format->type,
                                  p.format->normalized ? GL_TRUE : GL_FALSE, p.offset);
    }
    glVertexArrayAttribBinding(vertexArray, location, e.InputSlot);
    if (e.InputSlotClass == D3D11_INPUT_PER_INSTANCE_DATA) {
        glVertexArrayBindingDivisor(vertexArray, e.InputSlot, e.InstanceDataStepRate);
    }
}

}  // namespace

HRESULT InputLayout::Create(Device& device, const D3D11_INPUT_ELEMENT_DESC* elements, UINT numElements,
                            const void* signature, SIZE_T signatureLength, ID3D11InputLayout** layout) {
    ClearOut(layout);
    std::vector<d3d11::SignatureElement> inputs;
    if (!d3d11::DecodeInputSignature(signature, signatureLength, &inputs)) return E_INVALIDARG;
    if ((numElements && !elements) || numElements > D3D11_IA_VERTEX_INPUT_RESOURCE_SLOT_COUNT) return E_INVALIDARG;
    std::vector<PlacedElement> placed;
    if (!PlaceElements(elements, numElements, &placed)) return E_INVALIDARG;
    if (!device.Usable()) return E_NOTIMPL;
    device.MakeCurrent();
    GLint maxAttributes = 16;
    if (device.Rasterises()) glGetIntegerv(GL_MAX_VERTEX_ATTRIBS, &maxAttributes);
    std::vector<std::pair<GLuint, const PlacedElement*>> attributes;
    for (const d3d11::SignatureElement& input : inputs) {
        const PlacedElement* p = Match(placed, input);
        if (!p || !TypesAgree(*p, input) || input.location >= GLuint(maxAttributes)) return E_INVALIDARG;
        attributes.emplace_back(input.location, p);
    }
    auto* object = new InputLayout(device);
    if (device.Rasterises()) glCreateVertexArrays(1, &object->vertexArray_);
    for (const auto& [location, p] : attributes) {
        if (object->vertexArray_) DescribeAttribute(object->vertexArray_, location, *p);
        object->slots_ |= 1u << p->desc->InputSlot;
    }
    return HandOut(object, layout);
}

InputLayout::~InputLayout() {
    device_->Immediate().ForgetLayout(Serial());
    DeleteName(*device_, GLObject::VertexArray, vertexArray_);
}

}  // namespace platform
