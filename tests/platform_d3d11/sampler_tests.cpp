// Sampler descriptions as GL sampler objects.
#include "d3d11_fixture.h"
#include "d3d11/gl.h"
#include "d3d11/states.h"

namespace d3d11_test {
namespace {

struct SamplerCase {
    const char* what;
    D3D11_FILTER filter;
    UINT maxAnisotropy;
    GLint minFilter, magFilter;
    GLfloat anisotropy;
    GLint compareMode;
};

using SamplerTest = D3D11Test;

TEST_F(SamplerTest, FiltersBecomeGlFiltersAndOnlyAnisotropicFilteringIsAnisotropic) {
    const SamplerCase cases[] = {
        {"point", D3D11_FILTER_MIN_MAG_MIP_POINT, 16, GL_NEAREST_MIPMAP_NEAREST, GL_NEAREST, 1, GL_NONE},
        {"linear", D3D11_FILTER_MIN_MAG_MIP_LINEAR, 16, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, 1, GL_NONE},
        {"linear, point mips", D3D11_FILTER_MIN_MAG_LINEAR_MIP_POINT, 8, GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR, 1,
         GL_NONE},
        {"point minification, linear magnification", D3D11_FILTER_MIN_POINT_MAG_MIP_LINEAR, 1, GL_NEAREST_MIPMAP_LINEAR,
         GL_LINEAR, 1, GL_NONE},
        {"anisotropic 1", D3D11_FILTER_ANISOTROPIC, 1, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, 1, GL_NONE},
        {"anisotropic 8", D3D11_FILTER_ANISOTROPIC, 8, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, 8, GL_NONE},
        {"comparison", D3D11_FILTER_COMPARISON_MIN_MAG_MIP_LINEAR, 4, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, 1,
         GL_COMPARE_REF_TO_TEXTURE},
        {"comparison anisotropic", D3D11_FILTER_COMPARISON_ANISOTROPIC, 4, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, 4,
         GL_COMPARE_REF_TO_TEXTURE},
    };
    for (const SamplerCase& c : cases) {
        const D3D11_SAMPLER_DESC desc =
            SamplerDesc(c.filter, D3D11_TEXTURE_ADDRESS_WRAP, c.maxAnisotropy, D3D11_COMPARISON_LESS_EQUAL);
        ID3D11SamplerState* state = nullptr;
        ASSERT_EQ(device->CreateSamplerState(&desc, &state), S_OK) << c.what;
        const GLuint sampler = static_cast<platform::SamplerState*>(state)->Name();
        GLint minFilter = 0, magFilter = 0, compareMode = -1, compareFunc = 0;
        GLfloat anisotropy = 0;
        glGetSamplerParameteriv(sampler, GL_TEXTURE_MIN_FILTER, &minFilter);
        glGetSamplerParameteriv(sampler, GL_TEXTURE_MAG_FILTER, &magFilter);
        glGetSamplerParameterfv(sampler, GL_TEXTURE_MAX_ANISOTROPY, &anisotropy);
        glGetSamplerParameteriv(sampler, GL_TEXTURE_COMPARE_MODE, &compareMode);
        EXPECT_EQ(minFilter, c.minFilter) << c.what;
        EXPECT_EQ(magFilter, c.magFilter) << c.what;
        EXPECT_EQ(anisotropy, c.anisotropy) << c.what;
        EXPECT_EQ(compareMode, c.compareMode) << c.what;
        if (c.compareMode == GL_COMPARE_REF_TO_TEXTURE) {
            glGetSamplerParameteriv(sampler, GL_TEXTURE_COMPARE_FUNC, &compareFunc);
            EXPECT_EQ(compareFunc, GL_LEQUAL) << c.what;
        }
        state->Release();
    }
}

}  // namespace
}  // namespace d3d11_test
