// The Effects 11 framework's interfaces, as far as this project implements them (effects11/src).
#pragma once
#include "d3d11.h"
#include "d3dx11.h"

struct D3DX11_EFFECT_DESC {
    UINT ConstantBuffers;
    UINT GlobalVariables;
    UINT InterfaceVariables;
    UINT Techniques;
    UINT Groups;
};

struct D3DX11_TECHNIQUE_DESC {
    LPCSTR Name;
    UINT Passes;
    UINT Annotations;
};

struct D3DX11_PASS_DESC {
    LPCSTR Name;
    UINT Annotations;
    BYTE* pIAInputSignature;
    SIZE_T IAInputSignatureSize;
    UINT StencilRef;
    UINT SampleMask;
    FLOAT BlendFactor[4];
};

struct D3DX11_EFFECT_VARIABLE_DESC {
    LPCSTR Name;
    LPCSTR Semantic;
    UINT Flags;
    UINT Annotations;
    UINT BufferOffset;
    UINT ExplicitBindPoint;
};

struct ID3DX11EffectScalarVariable;
struct ID3DX11EffectVectorVariable;
struct ID3DX11EffectMatrixVariable;
struct ID3DX11EffectShaderResourceVariable;

// Variables, techniques and passes belong to their effect: callers never release them. A lookup that
// finds nothing returns an object whose IsValid is FALSE and whose methods fail with E_FAIL.
struct ID3DX11EffectVariable {
    virtual BOOL IsValid() = 0;
    virtual HRESULT GetDesc(D3DX11_EFFECT_VARIABLE_DESC* desc) = 0;
    virtual ID3DX11EffectScalarVariable* AsScalar() = 0;
    virtual ID3DX11EffectVectorVariable* AsVector() = 0;
    virtual ID3DX11EffectMatrixVariable* AsMatrix() = 0;
    virtual ID3DX11EffectShaderResourceVariable* AsShaderResource() = 0;
    virtual HRESULT SetRawValue(const void* data, UINT byteOffset, UINT byteCount) = 0;
    virtual HRESULT GetRawValue(void* data, UINT byteOffset, UINT byteCount) = 0;

protected:
    ~ID3DX11EffectVariable() = default;
};

struct ID3DX11EffectScalarVariable : public ID3DX11EffectVariable {
    virtual HRESULT SetFloat(float value) = 0;
    virtual HRESULT GetFloat(float* value) = 0;
    virtual HRESULT SetInt(int value) = 0;
    virtual HRESULT GetInt(int* value) = 0;
    virtual HRESULT SetBool(BOOL value) = 0;
    virtual HRESULT GetBool(BOOL* value) = 0;

protected:
    ~ID3DX11EffectScalarVariable() = default;
};

struct ID3DX11EffectVectorVariable : public ID3DX11EffectVariable {
    virtual HRESULT SetFloatVector(const float* data) = 0;
    virtual HRESULT GetFloatVector(float* data) = 0;
    virtual HRESULT SetIntVector(const int* data) = 0;
    virtual HRESULT GetIntVector(int* data) = 0;

protected:
    ~ID3DX11EffectVectorVariable() = default;
};

// Matrices in and out are 16 floats, row-major as the program holds them; the effect stores them in the
// packing the shader declares.
struct ID3DX11EffectMatrixVariable : public ID3DX11EffectVariable {
    virtual HRESULT SetMatrix(const float* data) = 0;
    virtual HRESULT GetMatrix(float* data) = 0;
    virtual HRESULT SetMatrixTranspose(const float* data) = 0;
    virtual HRESULT GetMatrixTranspose(float* data) = 0;

protected:
    ~ID3DX11EffectMatrixVariable() = default;
};

// The effect holds a reference to the view it is given; GetResource adds one for the caller.
struct ID3DX11EffectShaderResourceVariable : public ID3DX11EffectVariable {
    virtual HRESULT SetResource(ID3D11ShaderResourceView* resource) = 0;
    virtual HRESULT GetResource(ID3D11ShaderResourceView** resource) = 0;

protected:
    ~ID3DX11EffectShaderResourceVariable() = default;
};

struct ID3DX11EffectPass {
    virtual BOOL IsValid() = 0;
    virtual HRESULT GetDesc(D3DX11_PASS_DESC* desc) = 0;
    // Binds the pass's program, constant buffers (uploading what changed), textures and samplers.
    virtual HRESULT Apply(UINT flags, ID3D11DeviceContext* context) = 0;

protected:
    ~ID3DX11EffectPass() = default;
};

struct ID3DX11EffectTechnique {
    virtual BOOL IsValid() = 0;
    virtual HRESULT GetDesc(D3DX11_TECHNIQUE_DESC* desc) = 0;
    virtual ID3DX11EffectPass* GetPassByIndex(UINT index) = 0;
    virtual ID3DX11EffectPass* GetPassByName(LPCSTR name) = 0;

protected:
    ~ID3DX11EffectTechnique() = default;
};

PLATFORM_DECLARE_UUID(ID3DX11Effect, 0xfa61ca24, 0xe4ba, 0x4262, 0x9d, 0xb8, 0xb1, 0x32, 0xe8, 0xca, 0xe3, 0x19)

struct ID3DX11Effect : public IUnknown {
    virtual BOOL IsValid() = 0;
    virtual HRESULT GetDevice(ID3D11Device** device) = 0;
    virtual HRESULT GetDesc(D3DX11_EFFECT_DESC* desc) = 0;
    virtual ID3DX11EffectVariable* GetVariableByIndex(UINT index) = 0;
    virtual ID3DX11EffectVariable* GetVariableByName(LPCSTR name) = 0;
    virtual ID3DX11EffectVariable* GetVariableBySemantic(LPCSTR semantic) = 0;
    virtual ID3DX11EffectTechnique* GetTechniqueByIndex(UINT index) = 0;
    virtual ID3DX11EffectTechnique* GetTechniqueByName(LPCSTR name) = 0;
};

// data/size: the bytes D3DX11CompileFromFileW produced with profile "fx_5_0".
HRESULT D3DX11CreateEffectFromMemory(const void* data, SIZE_T size, UINT flags, ID3D11Device* device,
                                     ID3DX11Effect** effect);
