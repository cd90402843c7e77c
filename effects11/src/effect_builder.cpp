#include "effect_builder.h"

#include "d3d11_layer.h"

#include <cctype>
#include <cstdlib>

#include <spirv_cross_c.h>

namespace fx {

struct EffectBuilder::PassContext {
    std::map<std::pair<int32_t, int32_t>, uint32_t> units;  // (texture, sampler) -> unit
    std::map<std::string, uint32_t> vertexOutputs;          // upper-case semantic -> location
    Pass* pass = nullptr;
};

// Owns one SPIRV-Cross context and compiler. Every call that can fail goes through Check: the first failure is
// kept, with the reason SPIRV-Cross gave, and the step that made it turns it into the pass's error.
class Cross {
public:
    Cross() {
        if (!Check(spvc_context_create(&ctx_))) return;
        spvc_context_set_error_callback(
            ctx_, [](void* self, const char* e) { static_cast<Cross*>(self)->Record(e); }, this);
    }
    ~Cross() {
        if (ctx_) spvc_context_destroy(ctx_);
    }
    Cross(const Cross&) = delete;
    Cross& operator=(const Cross&) = delete;

    bool Check(spvc_result result) {
        if (result != SPVC_SUCCESS) failed_ = true;
        return !failed_;
    }
    bool Failed() const { return failed_; }
    // "what: reason", for the pass's error.
    std::string Error(const std::string& what) const { return error_.empty() ? what : what + ": " + error_; }

    bool Load(const std::vector<uint32_t>& spirv) {
        spvc_parsed_ir ir = nullptr;
        if (failed_ || !Check(spvc_context_parse_spirv(ctx_, spirv.data(), spirv.size(), &ir))) return false;
        if (!Check(spvc_context_create_compiler(ctx_, SPVC_BACKEND_GLSL, ir, SPVC_CAPTURE_MODE_TAKE_OWNERSHIP, &comp)))
            return false;
        return SetOptions() && Check(spvc_compiler_create_shader_resources(comp, &resources));
    }

    std::vector<spvc_reflected_resource> List(spvc_resource_type type) {
        const spvc_reflected_resource* list = nullptr;
        size_t count = 0;
        if (!Check(spvc_resources_get_resource_list_for_type(resources, type, &list, &count))) return {};
        return std::vector<spvc_reflected_resource>(list, list + count);
    }

    spvc_type Type(spvc_type_id id) const { return spvc_compiler_get_type_handle(comp, id); }

    // Layout decorations of member `index` of struct type `s`; 0 where the query fails.
    unsigned MemberOffset(spvc_type s, unsigned index) {
        unsigned offset = 0;
        return Check(spvc_compiler_type_struct_member_offset(comp, s, index, &offset)) ? offset : 0;
    }
    unsigned MatrixStride(spvc_type s, unsigned index) {
        unsigned stride = 0;
        return Check(spvc_compiler_type_struct_member_matrix_stride(comp, s, index, &stride)) ? stride : 0;
    }
    unsigned ArrayStride(spvc_type s, unsigned index) {
        unsigned stride = 0;
        return Check(spvc_compiler_type_struct_member_array_stride(comp, s, index, &stride)) ? stride : 0;
    }

    spvc_compiler comp = nullptr;
    spvc_resources resources = nullptr;

private:
    void Record(const char* e) {
        if (error_.empty()) error_ = e;
    }

    bool SetOptions() {
        spvc_compiler_options options = nullptr;
        return Check(spvc_compiler_create_compiler_options(comp, &options)) &&
               Check(spvc_compiler_options_set_uint(options, SPVC_COMPILER_OPTION_GLSL_VERSION, 450)) &&
               Check(spvc_compiler_options_set_bool(options, SPVC_COMPILER_OPTION_GLSL_ES, SPVC_FALSE)) &&
               Check(spvc_compiler_options_set_bool(options, SPVC_COMPILER_OPTION_GLSL_VULKAN_SEMANTICS, SPVC_FALSE)) &&
               Check(spvc_compiler_install_compiler_options(comp, options));
    }

    spvc_context ctx_ = nullptr;
    bool failed_ = false;
    std::string error_;
};

namespace {

BaseType ToBase(spvc_basetype t) {
    switch (t) {
    case SPVC_BASETYPE_FP32:
        return BaseType::Float;
    case SPVC_BASETYPE_INT32:
        return BaseType::Int;
    case SPVC_BASETYPE_UINT32:
        return BaseType::UInt;
    case SPVC_BASETYPE_BOOLEAN:
        return BaseType::Bool;
    default:
        return BaseType::None;
    }
}

const char* BaseName(BaseType b) {
    switch (b) {
    case BaseType::Float:
        return "float";
    case BaseType::Int:
        return "int";
    case BaseType::UInt:
        return "uint";
    case BaseType::Bool:
        return "bool";
    default:
        return "?";
    }
}

// Sizes and type names under HLSL packing, read from the layout glslang gave the SPIR-V block.
class MemberReader {
public:
    explicit MemberReader(Cross& c) : c_(c) {}

    // The variable for member `index` of the struct whose type id is `structId`.
    Variable Read(spvc_type_id structId, unsigned index) const {
        spvc_type parent = c_.Type(structId);
        spvc_type_id typeId = spvc_type_get_member_type(parent, index);
        spvc_type type = c_.Type(typeId);
        Variable v;
        const char* name = spvc_compiler_get_member_name(c_.comp, structId, index);
        v.name = name ? name : "";
        v.offset = c_.MemberOffset(parent, index);
        if (spvc_type_get_num_array_dimensions(type) > 0) v.elements = spvc_type_get_array_dimension(type, 0);
        Describe(parent, index, type, &v);
        v.size = Size(parent, index, type);
        return v;
    }

    uint32_t StructSize(spvc_type_id structId) const {
        spvc_type s = c_.Type(structId);
        unsigned n = spvc_type_get_num_member_types(s);
        if (n == 0) return 0;
        return c_.MemberOffset(s, n - 1) + Size(s, n - 1, c_.Type(spvc_type_get_member_type(s, n - 1)));
    }

private:
    void Describe(spvc_type parent, unsigned index, spvc_type type, Variable* v) const {
        spvc_basetype base = spvc_type_get_basetype(type);
        if (base == SPVC_BASETYPE_STRUCT) {
            v->cls = VarClass::Struct;
            v->base = BaseType::None;
            const char* n = spvc_compiler_get_name(c_.comp, spvc_type_get_base_type_id(type));
            v->typeName = n ? n : "struct";
            return;
        }
        v->base = ToBase(base);
        unsigned vec = spvc_type_get_vector_size(type), cols = spvc_type_get_columns(type);
        if (cols > 1) {
            // glslang gives an HLSL RxC matrix R SPIR-V columns of C components, transposing its packing too.
            v->cls = VarClass::Matrix;
            v->rows = cols;
            v->columns = vec;
            v->columnMajor =
                spvc_compiler_has_member_decoration(c_.comp, ParentId(parent), index, SpvDecorationRowMajor);
            v->typeName = std::string(BaseName(v->base)) + std::to_string(v->rows) + "x" + std::to_string(v->columns);
            return;
        }
        v->cls = vec > 1 ? VarClass::Vector : VarClass::Scalar;
        v->columns = vec;
        v->typeName = std::string(BaseName(v->base)) + (vec > 1 ? std::to_string(vec) : "");
    }

    spvc_type_id ParentId(spvc_type parent) const { return spvc_type_get_base_type_id(parent); }

    uint32_t ElementSize(spvc_type parent, unsigned index, spvc_type type) const {
        spvc_basetype base = spvc_type_get_basetype(type);
        if (base == SPVC_BASETYPE_STRUCT) return StructSize(spvc_type_get_base_type_id(type));
        unsigned vec = spvc_type_get_vector_size(type), cols = spvc_type_get_columns(type);
        if (cols <= 1) return 4 * vec;
        unsigned stride = c_.MatrixStride(parent, index);
        bool rowMajor = spvc_compiler_has_member_decoration(c_.comp, ParentId(parent), index, SpvDecorationRowMajor);
        unsigned registers = rowMajor ? vec : cols, length = rowMajor ? cols : vec;
        return (registers - 1) * stride + 4 * length;
    }

    uint32_t Size(spvc_type parent, unsigned index, spvc_type type) const {
        uint32_t element = ElementSize(parent, index, type);
        if (spvc_type_get_num_array_dimensions(type) == 0) return element;
        unsigned stride = c_.ArrayStride(parent, index);
        uint32_t count = 1;
        for (unsigned d = 0; d < spvc_type_get_num_array_dimensions(type); ++d)
            count *= spvc_type_get_array_dimension(type, d);
        return count == 0 ? 0 : (count - 1) * stride + element;
    }

    Cross& c_;
};

uint32_t Std140Alignment(spvc_type t) {
    if (spvc_type_get_num_array_dimensions(t) > 0 || spvc_type_get_basetype(t) == SPVC_BASETYPE_STRUCT) return 16;
    if (spvc_type_get_columns(t) > 1) return 16;
    unsigned vec = spvc_type_get_vector_size(t);
    return vec == 1 ? 4 : vec == 2 ? 8 : 16;
}

// Whether GLSL's std140 with explicit offsets can express the HLSL offsets of a block or struct.
bool FitsStd140(Cross& c, spvc_type_id structId) {
    spvc_type s = c.Type(structId);
    for (unsigned m = 0; m < spvc_type_get_num_member_types(s); ++m) {
        spvc_type t = c.Type(spvc_type_get_member_type(s, m));
        if (c.MemberOffset(s, m) % Std140Alignment(t) != 0) return false;
        if (spvc_type_get_basetype(t) == SPVC_BASETYPE_STRUCT && !FitsStd140(c, spvc_type_get_base_type_id(t)))
            return false;
    }
    return true;
}

std::string TextureTypeName(spvc_type t) {
    std::string name;
    switch (spvc_type_get_image_dimension(t)) {
    case SpvDim1D:
        name = "Texture1D";
        break;
    case SpvDim3D:
        name = "Texture3D";
        break;
    case SpvDimCube:
        name = "TextureCube";
        break;
    case SpvDimBuffer:
        name = "Buffer";
        break;
    default:
        name = spvc_type_get_image_multisampled(t) ? "Texture2DMS" : "Texture2D";
        break;
    }
    return spvc_type_get_image_arrayed(t) ? name + "Array" : name;
}

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// "TEXCOORD1" -> ("TEXCOORD", 1), as Direct3D splits semantics.
std::pair<std::string, uint32_t> SplitSemantic(const std::string& s) {
    size_t digits = s.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(s[digits - 1]))) --digits;
    if (digits == s.size() || digits == 0) return {s, 0};
    return {s.substr(0, digits), static_cast<uint32_t>(std::strtoul(s.c_str() + digits, nullptr, 10))};
}

std::string SemanticKey(const std::string& s) {
    auto [name, index] = SplitSemantic(s);
    return Upper(name) + std::to_string(index);
}

const char* SemanticOf(const Cross& c, spvc_variable_id id) {
    const char* s = spvc_compiler_get_decoration_string(c.comp, id, SpvDecorationUserSemantic);
    return s ? s : "";
}

}  // namespace

int32_t EffectBuilder::CbufferIndex(const std::string& name, uint32_t size) {
    for (size_t i = 0; i < effect.cbuffers.size(); ++i) {
        if (effect.cbuffers[i].name == name) return static_cast<int32_t>(i);
    }
    uint32_t binding = static_cast<uint32_t>(effect.cbuffers.size());
    effect.cbuffers.push_back({name, (size + 15) / 16 * 16, binding});
    return static_cast<int32_t>(binding);
}

int32_t EffectBuilder::ObjectIndex(const std::string& name, VarClass cls, const std::string& typeName) {
    for (size_t i = 0; i < effect.variables.size(); ++i) {
        if (effect.variables[i].name == name && effect.variables[i].cls == cls) return static_cast<int32_t>(i);
    }
    Variable v;
    v.name = name;
    v.cls = cls;
    v.base = BaseType::None;
    v.typeName = typeName;
    effect.variables.push_back(v);
    return static_cast<int32_t>(effect.variables.size() - 1);
}

bool EffectBuilder::CrossCompile(const std::vector<uint32_t>& spirv, bool vertex, PassContext* ctx, std::string* glsl,
                                 std::string* error) {
    Cross c;
    if (!c.Load(spirv)) {
        *error = c.Error("SPIR-V could not be read");
        return false;
    }
    if (!ReflectCbuffers(c, ctx, error) || !ReflectObjects(c, ctx, error)) return false;
    if (!(vertex ? ReflectVertexInputs(c, ctx, error) : MatchPixelInputs(c, ctx, error))) return false;
    const char* source = nullptr;
    if (!c.Check(spvc_compiler_compile(c.comp, &source))) {
        *error = c.Error("GLSL could not be generated");
        return false;
    }
    *glsl = source;
    return true;
}

bool EffectBuilder::ReflectCbuffers(Cross& c, PassContext* ctx, std::string* error) {
    MemberReader reader(c);
    for (const spvc_reflected_resource& r : c.List(SPVC_RESOURCE_TYPE_UNIFORM_BUFFER)) {
        const char* n = spvc_compiler_get_name(c.comp, r.base_type_id);
        std::string name = n && *n ? n : r.name;
        if (spvc_type_get_num_array_dimensions(c.Type(r.type_id)) > 0) {
            // One binding would stand for several buffers, and SPIRV-Cross throws on flattening such a block.
            *error = "constant buffer '" + name + "' is an array: fx_5_0 has no arrays of constant buffers";
            return false;
        }
        size_t known = effect.cbuffers.size();
        int32_t cb = CbufferIndex(name, reader.StructSize(r.base_type_id));
        if (static_cast<size_t>(cb) == known) {
            unsigned members = spvc_type_get_num_member_types(c.Type(r.base_type_id));
            for (unsigned m = 0; m < members; ++m) {
                Variable v = reader.Read(r.base_type_id, m);
                v.cbuffer = cb;
                effect.variables.push_back(v);
            }
        }
        const uint32_t binding = effect.cbuffers[cb].binding;
        spvc_compiler_unset_decoration(c.comp, r.id, SpvDecorationDescriptorSet);
        spvc_compiler_set_decoration(c.comp, r.id, SpvDecorationBinding, binding);
        // Same instance names in every stage keep the linker from comparing generated ones.
        spvc_compiler_set_name(c.comp, r.id, ("fx_block_" + std::to_string(binding)).c_str());
        if (!FitsStd140(c, r.base_type_id)) {
            // A plain vec4 array holds any HLSL packing; Apply uploads it with glProgramUniform4*v.
            spvc_compiler_set_name(c.comp, r.base_type_id, platform::d3d11::FlattenedBufferName(binding).c_str());
            c.Check(spvc_compiler_flatten_buffer_block(c.comp, r.id));
            ctx->pass->flattened.push_back(static_cast<uint32_t>(cb));
        }
        if (c.Failed()) {
            *error = c.Error("constant buffer '" + name + "' could not be reflected");
            return false;
        }
    }
    if (c.Failed()) *error = c.Error("constant buffers could not be listed");
    return !c.Failed();
}

bool EffectBuilder::ReflectObjects(Cross& c, PassContext* ctx, std::string* error) {
    std::map<spvc_variable_id, int32_t> objects;
    for (const spvc_reflected_resource& r : c.List(SPVC_RESOURCE_TYPE_SEPARATE_IMAGE))
        objects[r.id] = ObjectIndex(r.name, VarClass::Texture, TextureTypeName(c.Type(r.type_id)));
    for (const spvc_reflected_resource& r : c.List(SPVC_RESOURCE_TYPE_SEPARATE_SAMPLERS))
        objects[r.id] = ObjectIndex(r.name, VarClass::Sampler, "SamplerState");
    spvc_variable_id dummy = 0;
    const spvc_combined_image_sampler* combined = nullptr;
    size_t combinedCount = 0;
    if (!c.Check(spvc_compiler_build_dummy_sampler_for_combined_images(c.comp, &dummy)) ||
        !c.Check(spvc_compiler_build_combined_image_samplers(c.comp)) ||
        !c.Check(spvc_compiler_get_combined_image_samplers(c.comp, &combined, &combinedCount))) {
        *error = c.Error("texture sampling could not be mapped");
        return false;
    }
    for (size_t k = 0; k < combinedCount; ++k) {
        auto texture = objects.find(combined[k].image_id);
        auto sampler = objects.find(combined[k].sampler_id);
        if (texture == objects.end()) {
            *error = "a texture without a variable is sampled";
            return false;
        }
        auto key = std::make_pair(texture->second, sampler == objects.end() ? -1 : sampler->second);
        if (!ctx->units.count(key)) {
            uint32_t unit = static_cast<uint32_t>(ctx->units.size());
            ctx->units[key] = unit;
            ctx->pass->units.push_back({unit, key.first, key.second});
        }
        spvc_compiler_unset_decoration(c.comp, combined[k].combined_id, SpvDecorationDescriptorSet);
        spvc_compiler_set_decoration(c.comp, combined[k].combined_id, SpvDecorationBinding, ctx->units[key]);
    }
    return true;
}

bool EffectBuilder::ReflectVertexInputs(Cross& c, PassContext* ctx, std::string* error) {
    for (const spvc_reflected_resource& r : c.List(SPVC_RESOURCE_TYPE_STAGE_INPUT)) {
        spvc_type t = c.Type(r.type_id);
        auto [semantic, index] = SplitSemantic(SemanticOf(c, r.id));
        InputElement e;
        e.semantic = semantic;
        e.index = index;
        e.location = spvc_compiler_get_decoration(c.comp, r.id, SpvDecorationLocation);
        e.components = spvc_type_get_vector_size(t);
        BaseType b = ToBase(spvc_type_get_basetype(t));
        e.componentType = b == BaseType::Int ? 1 : b == BaseType::UInt ? 2 : 0;
        ctx->pass->inputs.push_back(e);
    }
    for (const spvc_reflected_resource& r : c.List(SPVC_RESOURCE_TYPE_STAGE_OUTPUT)) {
        ctx->vertexOutputs[SemanticKey(SemanticOf(c, r.id))] =
            spvc_compiler_get_decoration(c.comp, r.id, SpvDecorationLocation);
    }
    if (c.Failed()) *error = c.Error("vertex shader inputs and outputs could not be listed");
    return !c.Failed();
}

// Pixel shader inputs take the locations the vertex shader writes their semantics at.
bool EffectBuilder::MatchPixelInputs(Cross& c, PassContext* ctx, std::string* error) {
    for (const spvc_reflected_resource& r : c.List(SPVC_RESOURCE_TYPE_STAGE_INPUT)) {
        std::string semantic = SemanticOf(c, r.id);
        auto found = ctx->vertexOutputs.find(SemanticKey(semantic));
        if (found == ctx->vertexOutputs.end()) {
            *error = "pixel shader input '" + semantic + "' is not written by the vertex shader";
            return false;
        }
        spvc_compiler_set_decoration(c.comp, r.id, SpvDecorationLocation, found->second);
    }
    if (c.Failed()) *error = c.Error("pixel shader inputs could not be listed");
    return !c.Failed();
}

bool EffectBuilder::AddPass(const std::string& name, const std::vector<uint32_t>& vertex,
                            const std::vector<uint32_t>* pixel, Pass* out, std::string* error) {
    PassContext ctx;
    ctx.pass = out;
    out->name = name;
    if (!CrossCompile(vertex, true, &ctx, &out->vertexGlsl, error)) return false;
    return !pixel || CrossCompile(*pixel, false, &ctx, &out->pixelGlsl, error);
}

void EffectBuilder::SetSamplerStates(const std::vector<SamplerState>& parsed) {
    effect.samplers.clear();
    for (const Variable& v : effect.variables) {
        if (v.cls != VarClass::Sampler) continue;
        SamplerState state;
        for (const SamplerState& p : parsed) {
            if (p.name == v.name) state = p;
        }
        state.name = v.name;
        effect.samplers.push_back(state);
    }
}

}  // namespace fx
