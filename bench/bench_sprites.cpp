// Prints what the effect costs to compile and create the first time and again (a game creates it at every start),
// and what one sprite draw costs the CPU to submit, headless.
#include <effect.h>
#include <lights.h>
#include <sprite.h>
#include <vertex.h>
#include <unistd.h>

#include <vector>

#include "bench_figures.h"

namespace {

constexpr int kRecompiles = 5;
constexpr int kDraws = 20000;

double MeasureCompileMilliseconds(ID3D11Device* device, int compiles) {
    const double start = bench::WallSeconds();
    for (int i = 0; i < compiles; ++i) {
        LitTexEffect effect;
        effect.LoadFromFile(L"FX/lighting.fx", device);
    }
    return (bench::WallSeconds() - start) * 1000.0 / compiles;
}

ID3D11ShaderResourceView* MakeTexture(ID3D11Device* device) {
    std::vector<uint32_t> texels(96 * 32, 0xff3366ccu);
    D3D11_TEXTURE2D_DESC desc = {
        96, 32, 1, 1, DXGI_FORMAT_R8G8B8A8_UNORM, {1, 0}, D3D11_USAGE_IMMUTABLE, D3D11_BIND_SHADER_RESOURCE, 0, 0};
    D3D11_SUBRESOURCE_DATA init = {texels.data(), 96 * 4, 0};
    ID3D11Texture2D* texture = nullptr;
    ID3D11ShaderResourceView* view = nullptr;
    device->CreateTexture2D(&desc, &init, &texture);
    if (texture) device->CreateShaderResourceView(texture, nullptr, &view);
    if (texture) texture->Release();
    return view;
}

void BindTarget(ID3D11Device* device, ID3D11DeviceContext* context, ID3D11Texture2D** target,
                ID3D11RenderTargetView** view) {
    D3D11_TEXTURE2D_DESC desc = {
        1024, 768, 1, 1, DXGI_FORMAT_R8G8B8A8_UNORM, {1, 0}, D3D11_USAGE_DEFAULT, D3D11_BIND_RENDER_TARGET, 0, 0};
    device->CreateTexture2D(&desc, nullptr, target);
    device->CreateRenderTargetView(*target, nullptr, view);
    context->OMSetRenderTargets(1, view, nullptr);
    const D3D11_VIEWPORT viewport = {0, 0, 1024, 768, 0, 1};
    context->RSSetViewports(1, &viewport);
}

double MeasureDrawMicroseconds(ID3D11Device* device, ID3D11DeviceContext* context) {
    LitTexEffect effect;
    effect.LoadFromFile(L"FX/lighting.fx", device);
    CreateNormalTexLayout(device, effect.GetTechnique());
    ID3D11Texture2D* target = nullptr;
    ID3D11RenderTargetView* targetView = nullptr;
    BindTarget(device, context, &target, &targetView);
    context->IASetInputLayout(mNormalTexVertLayout);
    context->IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY_TRIANGLELIST);
    const PointLight point;
    const SpotLight spot;
    effect.SetPerFrame(XMVectorSet(1, 1, 1, 1), XMVectorZero(), &point, &spot);

    ID3D11ShaderResourceView* strip = MakeTexture(device);
    Sprite::Frame frames[3] = {{strip, 0, 0, 96, 32}, {strip, 32, 0, 96, 32}, {strip, 64, 0, 96, 32}};
    Sprite sprite(XMVectorSet(512, 384, 0, 0), XMVectorSet(1, 1, 0, 0), 32, 32, 0.1f,
                  {&frames[0], &frames[1], &frames[2]}, 0.25f, device, 0.0f);
    const XMMATRIX frame = XMMatrixOrthographicOffCenterLH(0, 1024, 0, 768, 0.0001f, 1000.0f);

    sprite.Draw(frame, context, &effect);
    context->Flush();
    const double start = bench::WallSeconds();
    for (int i = 0; i < kDraws; ++i) sprite.Draw(frame, context, &effect);
    const double elapsed = bench::WallSeconds() - start;
    context->Flush();

    DestroyAllLayouts();
    if (strip) strip->Release();
    targetView->Release();
    target->Release();
    return elapsed * 1e6 / kDraws;
}

}  // namespace

int main() {
    bench::UseHeadlessDrivers();
    if (chdir(CORVALO_DATA_DIR) != 0) return 1;
    ID3D11Device* device = nullptr;
    ID3D11DeviceContext* context = nullptr;
    if (FAILED(D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, nullptr, 0, D3D11_SDK_VERSION, &device,
                                 nullptr, &context))) {
        std::fprintf(stderr, "bench-sprites: no device\n");
        return 1;
    }
    std::printf("effect_compile_ms: %.2f\n", MeasureCompileMilliseconds(device, 1));
    std::printf("effect_recompile_ms: %.3f\n", MeasureCompileMilliseconds(device, kRecompiles));
    std::printf("sprite_draw_us: %.2f\n", MeasureDrawMicroseconds(device, context));
    context->ClearState();
    context->Release();
    device->Release();
    return 0;
}
