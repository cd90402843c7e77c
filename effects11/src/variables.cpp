#include "variables.h"

#include <cstring>
#include <type_traits>

#include "effect.h"

namespace fx {

template <class I>
class VarBase : public I {
public:
    explicit VarBase(Slot* slot) : s_(slot) {}
    virtual ~VarBase() = default;

    BOOL IsValid() override { return s_ != nullptr; }
    HRESULT GetDesc(D3DX11_EFFECT_VARIABLE_DESC* desc) override;
    ID3DX11EffectScalarVariable* AsScalar() override;
    ID3DX11EffectVectorVariable* AsVector() override;
    ID3DX11EffectMatrixVariable* AsMatrix() override;
    ID3DX11EffectShaderResourceVariable* AsShaderResource() override;
    HRESULT SetRawValue(const void* data, UINT byteOffset, UINT byteCount) override;
    HRESULT GetRawValue(void* data, UINT byteOffset, UINT byteCount) override;

protected:
    // CallState for a raw copy of byteCount bytes at byteOffset.
    HRESULT RawState(const void* data, UINT byteOffset, UINT byteCount) const;

    Slot* s_;
};

class ScalarVar final : public VarBase<ID3DX11EffectScalarVariable> {
public:
    using VarBase::VarBase;
    HRESULT SetFloat(float value) override { return Set(value); }
    HRESULT GetFloat(float* value) override { return Get(value); }
    HRESULT SetInt(int value) override { return Set(value); }
    HRESULT GetInt(int* value) override { return Get(value); }
    HRESULT SetBool(BOOL value) override { return Set(value ? 1 : 0); }
    HRESULT GetBool(BOOL* value) override;

private:
    template <class T>
    HRESULT Set(T value);
    template <class T>
    HRESULT Get(T* value);
};

class VectorVar final : public VarBase<ID3DX11EffectVectorVariable> {
public:
    using VarBase::VarBase;
    HRESULT SetFloatVector(const float* data) override { return Set(data); }
    HRESULT GetFloatVector(float* data) override { return Get(data); }
    HRESULT SetIntVector(const int* data) override { return Set(data); }
    HRESULT GetIntVector(int* data) override { return Get(data); }

private:
    template <class T>
    HRESULT Set(const T* data);
    template <class T>
    HRESULT Get(T* data);
};

class MatrixVar final : public VarBase<ID3DX11EffectMatrixVariable> {
public:
    using VarBase::VarBase;
    HRESULT SetMatrix(const float* data) override { return Set(data, false); }
    HRESULT GetMatrix(float* data) override { return Get(data, false); }
    HRESULT SetMatrixTranspose(const float* data) override { return Set(data, true); }
    HRESULT GetMatrixTranspose(float* data) override { return Get(data, true); }

private:
    HRESULT Set(const float* m, bool transpose);
    HRESULT Get(float* m, bool transpose);
};

class ResourceVar final : public VarBase<ID3DX11EffectShaderResourceVariable> {
public:
    using VarBase::VarBase;
    HRESULT SetResource(ID3D11ShaderResourceView* resource) override;
    HRESULT GetResource(ID3D11ShaderResourceView** resource) override;
};

struct Slot {
    Slot(Effect* e, uint32_t i)
        : effect(e), index(i), plain(this), scalar(this), vector(this), matrix(this), resource(this) {}
    const Variable& Var() const { return effect->Compiled().variables[index]; }
    bool InBuffer() const { return Var().cbuffer >= 0; }
    // The variable's bytes in its buffer's CPU copy.
    uint8_t* Bytes() const { return effect->Buffer(Var().cbuffer).data.data() + Var().offset; }
    void Touch() const { ++effect->Buffer(Var().cbuffer).version; }

    Effect* effect;
    uint32_t index;
    VarBase<ID3DX11EffectVariable> plain;
    ScalarVar scalar;
    VectorVar vector;
    MatrixVar matrix;
    ResourceVar resource;
    ID3D11ShaderResourceView* view = nullptr;
};

namespace {

VarBase<ID3DX11EffectVariable> gInvalidPlain(nullptr);
ScalarVar gInvalidScalar(nullptr);
VectorVar gInvalidVector(nullptr);
MatrixVar gInvalidMatrix(nullptr);
ResourceVar gInvalidResource(nullptr);

// Converts one 4-byte buffer component from float or int to the variable's base type.
void PutComponent(uint8_t* at, BaseType base, float f, int i) {
    if (base == BaseType::Float) {
        std::memcpy(at, &f, 4);
        return;
    }
    int32_t v = base == BaseType::Bool ? (i != 0 ? 1 : 0) : i;
    std::memcpy(at, &v, 4);
}

float FloatComponent(const uint8_t* at, BaseType base) {
    if (base == BaseType::Float) {
        float f;
        std::memcpy(&f, at, 4);
        return f;
    }
    int32_t v;
    std::memcpy(&v, at, 4);
    return static_cast<float>(v);
}

int IntComponent(const uint8_t* at, BaseType base) {
    if (base == BaseType::Float) return static_cast<int>(FloatComponent(at, base));
    int32_t v;
    std::memcpy(&v, at, 4);
    return v;
}

// Stores a float or int value through the conversion its own type asks for.
template <class T>
void Put(uint8_t* at, BaseType base, T value) {
    PutComponent(at, base, static_cast<float>(value), static_cast<int>(value));
}

template <class T>
T Component(const uint8_t* at, BaseType base) {
    if constexpr (std::is_same_v<T, float>) {
        return FloatComponent(at, base);
    } else {
        return IntComponent(at, base);
    }
}

bool Is(Slot* s, VarClass cls) { return s && s->Var().cls == cls; }

}  // namespace

template <class I>
HRESULT VarBase<I>::GetDesc(D3DX11_EFFECT_VARIABLE_DESC* desc) {
    if (const HRESULT hr = CallState(s_, desc); hr != S_OK) return hr;
    *desc = {s_->Var().name.c_str(), nullptr, 0, 0, s_->Var().offset, 0};
    return S_OK;
}

template <class I>
ID3DX11EffectScalarVariable* VarBase<I>::AsScalar() {
    return Is(s_, VarClass::Scalar) ? &s_->scalar : &gInvalidScalar;
}
template <class I>
ID3DX11EffectVectorVariable* VarBase<I>::AsVector() {
    return Is(s_, VarClass::Vector) ? &s_->vector : &gInvalidVector;
}
template <class I>
ID3DX11EffectMatrixVariable* VarBase<I>::AsMatrix() {
    return Is(s_, VarClass::Matrix) ? &s_->matrix : &gInvalidMatrix;
}
template <class I>
ID3DX11EffectShaderResourceVariable* VarBase<I>::AsShaderResource() {
    return Is(s_, VarClass::Texture) ? &s_->resource : &gInvalidResource;
}

template <class I>
HRESULT VarBase<I>::RawState(const void* data, UINT byteOffset, UINT byteCount) const {
    if (!s_) return E_FAIL;
    if (!s_->InBuffer() || !data || uint64_t(byteOffset) + byteCount > s_->Var().size) return E_INVALIDARG;
    return S_OK;
}

template <class I>
HRESULT VarBase<I>::SetRawValue(const void* data, UINT byteOffset, UINT byteCount) {
    if (const HRESULT hr = RawState(data, byteOffset, byteCount); hr != S_OK) return hr;
    std::memcpy(s_->Bytes() + byteOffset, data, byteCount);
    s_->Touch();
    return S_OK;
}

template <class I>
HRESULT VarBase<I>::GetRawValue(void* data, UINT byteOffset, UINT byteCount) {
    if (const HRESULT hr = RawState(data, byteOffset, byteCount); hr != S_OK) return hr;
    std::memcpy(data, s_->Bytes() + byteOffset, byteCount);
    return S_OK;
}

template <class T>
HRESULT ScalarVar::Set(T value) {
    if (!s_) return E_FAIL;
    Put(s_->Bytes(), s_->Var().base, value);
    s_->Touch();
    return S_OK;
}

template <class T>
HRESULT ScalarVar::Get(T* value) {
    if (const HRESULT hr = CallState(s_, value); hr != S_OK) return hr;
    *value = Component<T>(s_->Bytes(), s_->Var().base);
    return S_OK;
}

HRESULT ScalarVar::GetBool(BOOL* value) {
    int v = 0;
    HRESULT hr = GetInt(value ? &v : nullptr);
    if (SUCCEEDED(hr)) *value = v != 0;
    return hr;
}

template <class T>
HRESULT VectorVar::Set(const T* data) {
    if (const HRESULT hr = CallState(s_, data); hr != S_OK) return hr;
    for (uint32_t c = 0; c < s_->Var().columns; ++c) Put(s_->Bytes() + 4 * c, s_->Var().base, data[c]);
    s_->Touch();
    return S_OK;
}

template <class T>
HRESULT VectorVar::Get(T* data) {
    if (const HRESULT hr = CallState(s_, data); hr != S_OK) return hr;
    for (uint32_t c = 0; c < s_->Var().columns; ++c) data[c] = Component<T>(s_->Bytes() + 4 * c, s_->Var().base);
    return S_OK;
}

namespace {

// Byte offset of HLSL element (row, column) of a matrix stored in 16-byte registers.
uint32_t MatrixOffset(const Variable& v, uint32_t row, uint32_t column) {
    return v.columnMajor ? column * 16 + row * 4 : row * 16 + column * 4;
}

}  // namespace

HRESULT MatrixVar::Set(const float* m, bool transpose) {
    if (const HRESULT hr = CallState(s_, m); hr != S_OK) return hr;
    const Variable& v = s_->Var();
    for (uint32_t r = 0; r < v.rows; ++r) {
        for (uint32_t c = 0; c < v.columns; ++c) {
            float value = transpose ? m[c * 4 + r] : m[r * 4 + c];
            std::memcpy(s_->Bytes() + MatrixOffset(v, r, c), &value, 4);
        }
    }
    s_->Touch();
    return S_OK;
}

HRESULT MatrixVar::Get(float* m, bool transpose) {
    if (const HRESULT hr = CallState(s_, m); hr != S_OK) return hr;
    const Variable& v = s_->Var();
    for (int k = 0; k < 16; ++k) m[k] = 0.0f;
    for (uint32_t r = 0; r < v.rows; ++r) {
        for (uint32_t c = 0; c < v.columns; ++c)
            std::memcpy(transpose ? &m[c * 4 + r] : &m[r * 4 + c], s_->Bytes() + MatrixOffset(v, r, c), 4);
    }
    return S_OK;
}

HRESULT ResourceVar::SetResource(ID3D11ShaderResourceView* resource) {
    if (!s_) return E_FAIL;
    if (resource) resource->AddRef();
    if (s_->view) s_->view->Release();
    s_->view = resource;
    return S_OK;
}

HRESULT ResourceVar::GetResource(ID3D11ShaderResourceView** resource) {
    if (const HRESULT hr = CallState(s_, resource); hr != S_OK) return hr;
    *resource = s_->view;
    if (s_->view) s_->view->AddRef();
    return S_OK;
}

VariableSet::VariableSet(Effect* effect) {
    for (uint32_t i = 0; i < effect->Compiled().variables.size(); ++i)
        slots_.push_back(std::make_unique<Slot>(effect, i));
}

VariableSet::~VariableSet() {
    for (auto& s : slots_) {
        if (s->view) s->view->Release();
    }
}

ID3DX11EffectVariable* VariableSet::Get(size_t index) {
    return index < slots_.size() ? &slots_[index]->plain : Invalid();
}

ID3DX11EffectVariable* VariableSet::Invalid() { return &gInvalidPlain; }

ID3D11ShaderResourceView* VariableSet::Resource(size_t index) const {
    return index < slots_.size() ? slots_[index]->view : nullptr;
}

}  // namespace fx
