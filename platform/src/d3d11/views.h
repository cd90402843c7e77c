// Views: what a shader samples (a GL texture view), what is drawn into (a framebuffer of one attachment).
#pragma once
#include "resources.h"

namespace platform {

// One texture image (or a whole layered texture when layer is -1) as a framebuffer attachment.
struct Attachment {
    GLuint texture = 0;
    GLint mip = 0;
    GLint layer = -1;
    GLenum point = GL_COLOR_ATTACHMENT0;
    void AttachTo(GLuint framebuffer, GLenum at) const;
};

// Holds its resource alive and tells the context to drop cached framebuffers when it dies.
template <class Interface, class Desc>
class View : public DeviceChild<Interface, ID3D11View> {
public:
    void GetResource(ID3D11Resource** resource) override {
        resource_->AddRef();
        *resource = resource_;
    }
    void GetDesc(Desc* desc) override { *desc = desc_; }
    ID3D11Resource* Resource() const { return resource_; }
    TextureData& Texture() const { return *TextureOf(resource_); }

protected:
    View(Device& device, ID3D11Resource* resource, const Desc& desc)
        : DeviceChild<Interface, ID3D11View>(device), resource_(resource), desc_(desc) {
        resource_->AddRef();
    }
    ~View() override;

    ID3D11Resource* resource_;
    Desc desc_;
};

class ShaderResourceView final : public View<ID3D11ShaderResourceView, D3D11_SHADER_RESOURCE_VIEW_DESC> {
public:
    static HRESULT Create(Device& device, ID3D11Resource* resource, const D3D11_SHADER_RESOURCE_VIEW_DESC* desc,
                          ID3D11ShaderResourceView** view);
    GLuint Name() const { return name_; }
    GLenum Target() const { return target_; }

private:
    using View::View;
    ~ShaderResourceView() override;
    GLuint name_ = 0;
    GLenum target_ = 0;
};

// A view drawn into: a framebuffer holding the one image it names (no framebuffer on the null device).
template <class Interface, class Desc>
class AttachmentView : public View<Interface, Desc> {
public:
    GLuint Framebuffer() const { return framebuffer_; }
    const Attachment& Image() const { return image_; }

protected:
    using View<Interface, Desc>::View;
    ~AttachmentView() override;
    // Creates Object once the caller has checked what only its kind of view refuses.
    template <class Object>
    static HRESULT CreateOn(Device& device, TextureData& t, ID3D11Resource* resource, const Desc* desc, GLenum point,
                            Interface** view);

private:
    GLuint framebuffer_ = 0;
    Attachment image_;
};

class RenderTargetView final : public AttachmentView<ID3D11RenderTargetView, D3D11_RENDER_TARGET_VIEW_DESC> {
public:
    static HRESULT Create(Device& device, ID3D11Resource* resource, const D3D11_RENDER_TARGET_VIEW_DESC* desc,
                          ID3D11RenderTargetView** view);

private:
    friend AttachmentView;
    using AttachmentView::AttachmentView;
    ~RenderTargetView() override;
};

class DepthStencilView final : public AttachmentView<ID3D11DepthStencilView, D3D11_DEPTH_STENCIL_VIEW_DESC> {
public:
    static HRESULT Create(Device& device, ID3D11Resource* resource, const D3D11_DEPTH_STENCIL_VIEW_DESC* desc,
                          ID3D11DepthStencilView** view);
    bool HasStencil() const { return Texture().format->stencil; }

private:
    friend AttachmentView;
    using AttachmentView::AttachmentView;
    ~DepthStencilView() override;
};

}  // namespace platform
