#include <new>
#include <vector>
#include "com_object.h"
#include "d3dcommon.h"

namespace platform {
namespace {

class Blob final : public ComObject<ID3D10Blob> {
public:
    explicit Blob(SIZE_T size) : bytes_(size) {}
    LPVOID GetBufferPointer() override { return bytes_.data(); }
    SIZE_T GetBufferSize() override { return bytes_.size(); }

private:
    std::vector<uint8_t> bytes_;
};

}  // namespace
}  // namespace platform

HRESULT D3DCreateBlob(SIZE_T size, ID3DBlob** blob) {
    if (!blob) return E_INVALIDARG;
    *blob = nullptr;
    try {
        *blob = new platform::Blob(size);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}
