#include "technique.h"

#include <cstdio>
#include <cstring>

#include <GL/glcorearb.h>

#include "d3d11_gl_interop.h"
#include "effect.h"

namespace fx {
namespace {

std::vector<platform::gl::SignatureElement> Signature(const Pass& pass) {
    std::vector<platform::gl::SignatureElement> out;
    for (const InputElement& e : pass.inputs) {
        out.push_back({e.semantic, e.index, e.location, e.components,
                       static_cast<platform::gl::ComponentType>(e.componentType)});
    }
    return out;
}

uint32_t CompileShader(GLenum stage, const std::string& source, const std::string& pass) {
    GLuint shader = glCreateShader(stage);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok) return shader;
    char log[2048] = {};
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    std::fprintf(stderr, "effect pass '%s': OpenGL rejected the %s shader: %s\n", pass.c_str(),
                 stage == GL_VERTEX_SHADER ? "vertex" : "pixel", log);
    glDeleteShader(shader);
    return 0;
}

}  // namespace

EffectPass::EffectPass(Effect* effect, const Pass* pass) : effect_(effect), pass_(pass) {
    if (pass_) signature_ = platform::gl::EncodeInputSignature(Signature(*pass_));
}

EffectPass::~EffectPass() {
    if (program_) glDeleteProgram(program_);
}

bool EffectPass::Link() {
    GLuint vs = CompileShader(GL_VERTEX_SHADER, pass_->vertexGlsl, pass_->name);
    GLuint ps = pass_->pixelGlsl.empty() ? 0 : CompileShader(GL_FRAGMENT_SHADER, pass_->pixelGlsl, pass_->name);
    if (!vs || (!pass_->pixelGlsl.empty() && !ps)) {
        if (vs) glDeleteShader(vs);
        return false;
    }
    program_ = glCreateProgram();
    glAttachShader(program_, vs);
    if (ps) glAttachShader(program_, ps);
    glLinkProgram(program_);
    glDeleteShader(vs);
    if (ps) glDeleteShader(ps);
    GLint ok = GL_FALSE;
    glGetProgramiv(program_, GL_LINK_STATUS, &ok);
    if (!ok) {
        char log[2048] = {};
        glGetProgramInfoLog(program_, sizeof log, nullptr, log);
        std::fprintf(stderr, "effect pass '%s': OpenGL could not link the program: %s\n", pass_->name.c_str(), log);
        return false;
    }
    for (uint32_t cb : pass_->flattened) {
        std::string name = FlatName(effect_->Compiled().cbuffers[cb].binding);
        GLint location = glGetUniformLocation(program_, name.c_str());
        if (location < 0) continue;
        GLuint index = GL_INVALID_INDEX;
        const char* names[] = {name.c_str()};
        glGetUniformIndices(program_, 1, names, &index);
        GLint type = GL_FLOAT_VEC4;
        if (index != GL_INVALID_INDEX) glGetActiveUniformsiv(program_, 1, &index, GL_UNIFORM_TYPE, &type);
        flat_.push_back({cb, location, static_cast<uint32_t>(type), 0});
    }
    return true;
}

HRESULT EffectPass::GetDesc(D3DX11_PASS_DESC* desc) {
    if (!pass_) return E_FAIL;
    if (!desc) return E_INVALIDARG;
    *desc = {pass_->name.c_str(), 0, signature_.data(), signature_.size(), 0, 0xFFFFFFFFu, {1, 1, 1, 1}};
    return S_OK;
}

void EffectPass::UploadFlattened() {
    for (Flat& f : flat_) {
        BufferState& b = effect_->Buffer(f.cbuffer);
        if (f.uploaded == b.version) continue;
        GLsizei count = static_cast<GLsizei>(b.data.size() / 16);
        if (f.type == GL_INT_VEC4)
            glProgramUniform4iv(program_, f.location, count, reinterpret_cast<const GLint*>(b.data.data()));
        else if (f.type == GL_UNSIGNED_INT_VEC4)
            glProgramUniform4uiv(program_, f.location, count, reinterpret_cast<const GLuint*>(b.data.data()));
        else
            glProgramUniform4fv(program_, f.location, count, reinterpret_cast<const GLfloat*>(b.data.data()));
        f.uploaded = b.version;
    }
}

void EffectPass::BindTextures() {
    for (const TextureUnit& u : pass_->units) {
        ID3D11ShaderResourceView* view = effect_->Variables().Resource(u.texture);
        glBindTextureUnit(u.unit, platform::gl::TextureName(view));
        glBindSampler(u.unit, u.sampler >= 0 ? effect_->Sampler(u.sampler) : 0);
    }
}

HRESULT EffectPass::Apply(UINT, ID3D11DeviceContext* context) {
    if (!pass_) return E_FAIL;
    if (!context) return E_INVALIDARG;
    if (!effect_->MakeCurrent()) return E_FAIL;
    glUseProgram(program_);
    effect_->BindBuffers();
    UploadFlattened();
    BindTextures();
    return S_OK;
}

EffectPass* EffectPass::Invalid() {
    static EffectPass invalid(nullptr, nullptr);
    return &invalid;
}

EffectTechnique::EffectTechnique(Effect* effect, const Technique* technique) : technique_(technique) {
    if (!technique_) return;
    for (const Pass& p : technique_->passes) passes_.push_back(std::make_unique<EffectPass>(effect, &p));
}

bool EffectTechnique::Link() {
    for (auto& p : passes_) {
        if (!p->Link()) return false;
    }
    return true;
}

HRESULT EffectTechnique::GetDesc(D3DX11_TECHNIQUE_DESC* desc) {
    if (!technique_) return E_FAIL;
    if (!desc) return E_INVALIDARG;
    *desc = {technique_->name.c_str(), static_cast<UINT>(passes_.size()), 0};
    return S_OK;
}

ID3DX11EffectPass* EffectTechnique::GetPassByIndex(UINT index) {
    return index < passes_.size() ? passes_[index].get() : EffectPass::Invalid();
}

ID3DX11EffectPass* EffectTechnique::GetPassByName(LPCSTR name) {
    for (size_t i = 0; name && i < passes_.size(); ++i) {
        if (technique_->passes[i].name == name) return passes_[i].get();
    }
    return EffectPass::Invalid();
}

EffectTechnique* EffectTechnique::Invalid() {
    static EffectTechnique invalid(nullptr, nullptr);
    return &invalid;
}

}  // namespace fx
