// Shader bytecode, shader creation and the programs the device links from shader pairs.
#include <functional>
#include "d3d11/device.h"
#include "layer_fixture.h"
#include "d3d11/shader.h"

namespace d3d11_test {
namespace {

using platform::d3d11::DecodeShader;
using platform::d3d11::EncodeShader;
using platform::d3d11::ShaderBytecode;
using platform::d3d11::ShaderStage;

constexpr const char* kWhiteShader = "#version 450\nlayout(location = 0) out vec4 o;\nvoid main() { o = vec4(1.0); }\n";

// Offsets into an encoded shader: tag, version, stage, GLSL length, GLSL, slot count, slots.
constexpr size_t kVersionAt = 4, kStageAt = 8, kLengthAt = 12, kGlslAt = 16;

void PutU32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = uint8_t(value >> (8 * i));
}

TEST(ShaderBytecodeTest, RoundTripsAndRejectsEveryMalformedBlob) {
    const ShaderBytecode shader = {ShaderStage::Pixel, kWhiteShader, {0, 13}};
    const std::vector<uint8_t> valid = EncodeShader(shader);
    const size_t countAt = kGlslAt + shader.glsl.size();
    ShaderBytecode decoded;
    ASSERT_TRUE(DecodeShader(valid.data(), valid.size(), &decoded));
    EXPECT_EQ(decoded.stage, ShaderStage::Pixel);
    EXPECT_EQ(decoded.glsl, shader.glsl);
    EXPECT_EQ(decoded.flattenedSlots, shader.flattenedSlots);
    for (size_t size = 0; size < valid.size(); ++size) {
        EXPECT_FALSE(DecodeShader(valid.data(), size, &decoded)) << "truncated to " << size;
    }

    const struct {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> spoil;
    } cases[] = {
        {"wrong tag", [](std::vector<uint8_t>& b) { b[0] = 'X'; }},
        {"signature tag", [](std::vector<uint8_t>& b) { std::memcpy(b.data(), "CVIS", 4); }},
        {"unknown version", [](std::vector<uint8_t>& b) { PutU32(b, kVersionAt, 2); }},
        {"unknown stage", [](std::vector<uint8_t>& b) { PutU32(b, kStageAt, 2); }},
        {"GLSL longer than the blob", [](std::vector<uint8_t>& b) { PutU32(b, kLengthAt, uint32_t(b.size())); }},
        {"GLSL over the size limit",
         [&](std::vector<uint8_t>& b) {
             const uint32_t length = (1u << 20) + 1;
             PutU32(b, kLengthAt, length);
             b.insert(b.begin() + long(kGlslAt), length - shader.glsl.size(), ' ');
         }},
        {"empty GLSL",
         [&](std::vector<uint8_t>& b) {
             PutU32(b, kLengthAt, 0);
             b.erase(b.begin() + long(kGlslAt), b.begin() + long(countAt));
         }},
        {"more slots than Direct3D has",
         [&](std::vector<uint8_t>& b) {
             PutU32(b, countAt, D3D11_COMMONSHADER_CONSTANT_BUFFER_API_SLOT_COUNT + 1);
             b.resize(countAt + 4 + 4 * (D3D11_COMMONSHADER_CONSTANT_BUFFER_API_SLOT_COUNT + 1), 0);
         }},
        {"slot out of range",
         [&](std::vector<uint8_t>& b) { PutU32(b, countAt + 8, D3D11_COMMONSHADER_CONSTANT_BUFFER_API_SLOT_COUNT); }},
        {"trailing bytes", [](std::vector<uint8_t>& b) { b.push_back(0); }},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> bytes = valid;
        c.spoil(bytes);
        decoded = {};
        EXPECT_FALSE(DecodeShader(bytes.data(), bytes.size(), &decoded)) << c.what;
        EXPECT_TRUE(decoded.glsl.empty()) << c.what << ": a refused blob leaves the output alone";
    }
    EXPECT_FALSE(DecodeShader(nullptr, valid.size(), &decoded));
}

using ShaderTest = LayerTest;

TEST_F(ShaderTest, CreationRefusesTheOtherStageAndUncompilableGlsl) {
    const std::vector<uint8_t> pixel = Shader(ShaderStage::Pixel, kWhiteShader);
    const std::vector<uint8_t> vertex = Shader(ShaderStage::Vertex, kCoverVertexShader);
    ID3D11VertexShader* vertexOut = reinterpret_cast<ID3D11VertexShader*>(1);
    ID3D11PixelShader* pixelOut = reinterpret_cast<ID3D11PixelShader*>(1);
    EXPECT_EQ(device->CreateVertexShader(pixel.data(), pixel.size(), nullptr, &vertexOut), E_INVALIDARG);
    EXPECT_EQ(vertexOut, nullptr);
    EXPECT_EQ(device->CreatePixelShader(vertex.data(), vertex.size(), nullptr, &pixelOut), E_INVALIDARG);
    EXPECT_EQ(pixelOut, nullptr);

    const std::vector<uint8_t> broken = Shader(ShaderStage::Pixel, "#version 450\nvoid main() { o = 1; }\n");
    for (int attempt = 0; attempt < 2; ++attempt) {
        pixelOut = reinterpret_cast<ID3D11PixelShader*>(1);
        EXPECT_EQ(device->CreatePixelShader(broken.data(), broken.size(), nullptr, &pixelOut), E_INVALIDARG)
            << "attempt " << attempt;
        EXPECT_EQ(pixelOut, nullptr);
    }
    EXPECT_EQ(device->CreatePixelShader(pixel.data(), 3, nullptr, &pixelOut), E_INVALIDARG);
}

TEST_F(ShaderTest, APairThatDoesNotLinkFailsAndDrawsNothing) {
    UseShaders(kCoverVertexShader,
               "#version 450\nin vec4 neverWritten;\nlayout(location = 0) out vec4 o;\n"
               "void main() { o = neverWritten; }\n");
    EXPECT_EQ(platform::d3d11::PrepareProgram(device, vertexShader, pixelShader), E_FAIL);
    Clear({0, 0, 1, 1});
    Fill(0, 0, 8, 8);
    EXPECT_EQ(Read().At(4, 4), Rgba(0, 0, 255, 255));

    UsePixelShader(kWhiteShader);
    EXPECT_EQ(platform::d3d11::PrepareProgram(device, vertexShader, pixelShader), S_OK);
    Fill(0, 0, 8, 8);
    EXPECT_EQ(Read().At(4, 4), Rgba(255, 255, 255, 255)) << "a failed pair leaves later draws working";
}

TEST_F(ShaderTest, TheSameShadersCreatedAgainShareOneProgram) {
    platform::ProgramCache& cache = static_cast<platform::Device*>(device)->Programs();
    UsePixelShader(kWhiteShader);
    ASSERT_EQ(platform::d3d11::PrepareProgram(device, vertexShader, pixelShader), S_OK);
    const size_t programs = cache.Programs();
    const platform::CompiledShader* compiled = &static_cast<platform::PixelShader*>(pixelShader)->Compiled();

    ID3D11PixelShader* first = pixelShader;
    first->AddRef();
    UsePixelShader(kWhiteShader);
    EXPECT_NE(pixelShader, first) << "each creation is its own object";
    EXPECT_EQ(&static_cast<platform::PixelShader*>(pixelShader)->Compiled(), compiled);
    ASSERT_EQ(platform::d3d11::PrepareProgram(device, vertexShader, pixelShader), S_OK);
    Fill(0, 0, 8, 8);
    EXPECT_EQ(cache.Programs(), programs);
    EXPECT_EQ(Read().At(4, 4), Rgba(255, 255, 255, 255));

    // Released shaders leave their program to the device: a later creation finds it again.
    first->Release();
    context->PSSetShader(nullptr, nullptr, 0);
    SafeRelease(pixelShader);
    UsePixelShader(kWhiteShader);
    ASSERT_EQ(platform::d3d11::PrepareProgram(device, vertexShader, pixelShader), S_OK);
    EXPECT_EQ(cache.Programs(), programs);
}

}  // namespace
}  // namespace d3d11_test
