// Buffers and textures: a GL name for what the GPU uses, a CPU allocation for staging resources.
#pragma once
#include <vector>
#include "device.h"
#include "formats.h"

namespace platform {

class Buffer final : public DeviceChild<ID3D11Buffer, ID3D11Resource> {
public:
    static HRESULT Create(Device& device, const D3D11_BUFFER_DESC* desc, const D3D11_SUBRESOURCE_DATA* initialData,
                          ID3D11Buffer** buffer);
    void GetType(D3D11_RESOURCE_DIMENSION* dimension) override { *dimension = D3D11_RESOURCE_DIMENSION_BUFFER; }
    void GetDesc(D3D11_BUFFER_DESC* desc) override { *desc = desc_; }

    const D3D11_BUFFER_DESC& Desc() const { return desc_; }
    GLuint Name() const { return name_; }
    bool Staging() const { return desc_.Usage == D3D11_USAGE_STAGING; }
    bool Constant() const { return desc_.BindFlags & D3D11_BIND_CONSTANT_BUFFER; }
    // Staging and constant buffers, and every buffer of a null device, live in CPU memory: draws read each version
    // of a constant buffer from its own copy in the context's uniform ring.
    bool CpuHeld() const { return name_ == 0; }
    uint8_t* Cpu() { return cpu_.data(); }
    // Marks new contents; the stamp identifies them among every buffer's contents.
    void Touch() { stamp_ = NextSerial(); }
    uint64_t Stamp() const { return stamp_; }

private:
    Buffer(Device& device, const D3D11_BUFFER_DESC& desc) : DeviceChild(device), desc_(desc) {}
    ~Buffer() override;

    D3D11_BUFFER_DESC desc_;
    GLuint name_ = 0;
    std::vector<uint8_t> cpu_;
    uint64_t stamp_ = NextSerial();
};

// What 1-D and 2-D textures share: their shape, their GL storage or their CPU copy.
struct TextureData {
    D3D11_RESOURCE_DIMENSION dimension = D3D11_RESOURCE_DIMENSION_TEXTURE2D;
    UINT width = 1, height = 1, mipLevels = 1, arraySize = 1, samples = 1;
    const TextureFormat* format = nullptr;
    D3D11_USAGE usage = D3D11_USAGE_DEFAULT;
    UINT bindFlags = 0, cpuAccess = 0, miscFlags = 0;
    GLuint name = 0;  // 0 on a null device
    GLenum target = 0;
    bool windowFormat = false;  // stored in the window's pixel order (see Texture2D::CreateBackBuffer)
    uint64_t serial = 0;        // the texture object's
    uint64_t version = 0;       // new with every write of its contents
    bool presented = false;     // a swap chain's buffer: its frames are drawn only where they changed
    // One allocation per subresource: the contents of a staging texture, the pending writes of a dynamic one.
    std::vector<std::vector<uint8_t>> cpu;

    UINT Subresources() const { return mipLevels * arraySize; }
    UINT MipWidth(UINT mip) const { return width >> mip ? width >> mip : 1; }
    UINT MipHeight(UINT mip) const { return height >> mip ? height >> mip : 1; }
    UINT RowPitch(UINT mip) const { return MipWidth(mip) * format->bytesPerTexel; }
    UINT SubresourceBytes(UINT mip) const { return RowPitch(mip) * MipHeight(mip); }
    bool Staging() const { return usage == D3D11_USAGE_STAGING; }

    void Touch() { version = NextSerial(); }
    // Writes a box of one subresource (whole subresource for a null box), rows of srcRowPitch bytes.
    void Write(UINT subresource, const D3D11_BOX* box, const void* data, UINT srcRowPitch);
    // GPU -> CPU copy of one subresource of a GL texture into `out` (SubresourceBytes long).
    void Read(UINT subresource, uint8_t* out) const;
};

template <class Interface, D3D11_RESOURCE_DIMENSION kDimension>
class TextureObject : public DeviceChild<Interface, ID3D11Resource>, public TextureData {
public:
    void GetType(D3D11_RESOURCE_DIMENSION* dimension) override { *dimension = kDimension; }

protected:
    explicit TextureObject(Device& device) : DeviceChild<Interface, ID3D11Resource>(device) {}
    ~TextureObject() override;
    // Gives a validated shape its storage and hands the texture out.
    template <class Object>
    static HRESULT Finish(Device& device, const TextureData& shape, const D3D11_SUBRESOURCE_DATA* initialData,
                          Interface** texture);
};

class Texture1D final : public TextureObject<ID3D11Texture1D, D3D11_RESOURCE_DIMENSION_TEXTURE1D> {
public:
    static HRESULT Create(Device& device, const D3D11_TEXTURE1D_DESC* desc, const D3D11_SUBRESOURCE_DATA* initialData,
                          ID3D11Texture1D** texture);
    void GetDesc(D3D11_TEXTURE1D_DESC* desc) override;

private:
    friend TextureObject;
    using TextureObject::TextureObject;
};

class Texture2D final : public TextureObject<ID3D11Texture2D, D3D11_RESOURCE_DIMENSION_TEXTURE2D> {
public:
    static HRESULT Create(Device& device, const D3D11_TEXTURE2D_DESC* desc, const D3D11_SUBRESOURCE_DATA* initialData,
                          ID3D11Texture2D** texture);
    // A swap chain's buffer: when nothing samples it, stored in the window's pixel order so presenting is a copy.
    static HRESULT CreateBackBuffer(Device& device, const D3D11_TEXTURE2D_DESC* desc, ID3D11Texture2D** texture);
    void GetDesc(D3D11_TEXTURE2D_DESC* desc) override;

private:
    friend TextureObject;
    using TextureObject::TextureObject;
    static HRESULT Create(Device& device, const D3D11_TEXTURE2D_DESC* desc, const D3D11_SUBRESOURCE_DATA* initialData,
                          bool windowFormat, ID3D11Texture2D** texture);
};

// Copies one subresource between textures of the same shape, on the GPU or through the CPU copies.
void CopySubresource(TextureData& dst, const TextureData& src, UINT subresource);

// Our objects behind a resource pointer; null when the resource is of another kind (or null).
Buffer* BufferOf(ID3D11Resource* resource);
TextureData* TextureOf(ID3D11Resource* resource);

}  // namespace platform
