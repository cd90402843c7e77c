// The fx_5_0 compiler through D3DX11CompileFromFileW: messages, results and reflection.
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "compiled_effect.h"
#include "effect_cache.h"
#include "effect_test_util.h"
#include "hlsl_compiler.h"

using fxtest::CompileText;

namespace {

fx::CompiledEffect Reflect(const fxtest::Compiled& c) {
    fx::CompiledEffect e;
    EXPECT_TRUE(fx::Deserialise(c.bytes.data(), c.bytes.size(), &e));
    return e;
}

const fx::Variable* Find(const fx::CompiledEffect& e, const std::string& name) {
    for (const fx::Variable& v : e.variables) {
        if (v.name == name) return &v;
    }
    return nullptr;
}

void ExpectAt(const fx::CompiledEffect& e, const std::string& name, uint32_t offset, uint32_t size) {
    const fx::Variable* v = Find(e, name);
    ASSERT_NE(v, nullptr) << name;
    EXPECT_EQ(v->offset, offset) << name;
    EXPECT_EQ(v->size, size) << name;
}

const char* const kPassTail = R"(
technique11 T { pass P { SetVertexShader(CompileShader(vs_5_0, VS())); SetPixelShader(CompileShader(ps_5_0, PS())); } }
)";

std::string WithShaders(const std::string& declarations, const std::string& psBody = "return gTint;") {
    return declarations + "\nfloat4 VS(float3 p : POSITION) : SV_POSITION { return float4(p, 1.0f); }\n" +
           "float4 PS(float4 p : SV_POSITION) : SV_Target { " + psBody + " }\n" + kPassTail;
}

std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteWhole(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

// The game's effect, one that compiles with a warning, and one with defines and other flags.
std::vector<fx::CompileKey> CacheKeys() {
    return {{ReadWhole("FX/lighting.fx"), "FX/lighting.fx", "", 5},
            {WithShaders("float4 gTint;\n", "[unknownattr] return gTint;"), "warn.fx", "", 0},
            {fxtest::kQuadEffect, "quad.fx", "#define TINTED 1\n", 1u << 11}};
}

void ExpectSameOutput(const fx::CompileOutput& a, const fx::CompileOutput& b, const std::string& what) {
    EXPECT_EQ(a.ok, b.ok) << what;
    EXPECT_EQ(a.bytes, b.bytes) << what;
    EXPECT_EQ(a.messages, b.messages) << what;
    EXPECT_EQ(fx::Serialise(a.effect), fx::Serialise(b.effect)) << what;
}

// The test's own cache directory, emptied and removed afterwards; the process's own is restored.
class EffectCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp ? tmp : "/tmp") + "/fxcache_XXXXXX";
        ASSERT_NE(mkdtemp(&pattern[0]), nullptr);
        mDirectory = pattern;
        mPrevious = fx::EffectCacheDirectory();
        fx::SetEffectCacheDirectory(mDirectory);
    }

    void TearDown() override {
        fx::SetEffectCacheDirectory(mPrevious);
        for (const std::string& name : Entries()) unlink((mDirectory + "/" + name).c_str());
        rmdir(mDirectory.c_str());
    }

    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        DIR* listing = opendir(mDirectory.c_str());
        while (const dirent* item = listing ? readdir(listing) : nullptr) {
            if (item->d_name[0] != '.') names.push_back(item->d_name);
        }
        if (listing) closedir(listing);
        return names;
    }

    // Compiles through the cache and says whether the answer came from it.
    static bool FromCache(const fx::CompileKey& key, fx::CompileOutput* out = nullptr) {
        bool cached = false;
        fx::CompileOutput output = fx::CompileThroughCache(key, &cached);
        if (out) *out = std::move(output);
        return cached;
    }

    std::string mDirectory;
    std::string mPrevious;
};

// The entry's checksum made to fit its body again, as a damage that a checksum alone would not catch.
std::string Resealed(std::string entry) {
    const size_t head = 8 + 4 + 8;
    uint64_t sum = 14695981039346656037ull;
    for (size_t i = head; i < entry.size(); ++i) sum = (sum ^ static_cast<uint8_t>(entry[i])) * 1099511628211ull;
    entry.replace(12, 8, reinterpret_cast<const char*>(&sum), 8);
    return entry;
}

// The effect's bytes, which end the entry, one byte short, with their length and the checksum to match.
std::string EffectCutShort(const std::string& entry, size_t effectBytes) {
    std::string cut = entry.substr(0, entry.size() - 1);
    const uint32_t length = static_cast<uint32_t>(effectBytes - 1);
    cut.replace(entry.size() - effectBytes - 4, 4, reinterpret_cast<const char*>(&length), 4);
    return Resealed(cut);
}

}  // namespace

TEST(EffectCompile, LightingEffectCompilesSilentlyWithTheGamesLayout) {
    fxtest::Compiled c = fxtest::CompileFile("FX/lighting.fx");
    ASSERT_EQ(c.hr, S_OK) << c.messages;
    EXPECT_EQ(c.messages, "");
    fx::CompiledEffect e = Reflect(c);
    // The game's per-vertex technique and the viewer's per-pixel one take the same vertices, so one input layout
    // serves both.
    ASSERT_EQ(e.techniques.size(), 2u);
    const char* names[] = {"TestTech", "PixelTech"};
    for (size_t t = 0; t < 2; ++t) {
        SCOPED_TRACE(names[t]);
        EXPECT_EQ(e.techniques[t].name, names[t]);
        ASSERT_EQ(e.techniques[t].passes.size(), 1u);
        const std::vector<fx::InputElement>& in = e.techniques[t].passes[0].inputs;
        ASSERT_EQ(in.size(), 3u);
        EXPECT_EQ(in[0].semantic, "POSITION");
        EXPECT_STREQ(fx::FormatName(in[0].components, in[0].componentType), "R32G32B32_FLOAT");
        EXPECT_EQ(in[1].semantic, "NORMAL");
        EXPECT_EQ(in[2].semantic, "TEXCOORD");
        EXPECT_EQ(in[2].index, 0u);
        EXPECT_STREQ(fx::FormatName(in[2].components, in[2].componentType), "R32G32_FLOAT");
    }

    ExpectAt(e, "gPointLight", 0, 48);
    ExpectAt(e, "gSpotLight", 48, 64);
    ExpectAt(e, "gEyePos", 112, 12);
    ExpectAt(e, "gAmbientLight", 128, 16);
    ExpectAt(e, "gWVP", 0, 64);
    ExpectAt(e, "gW", 64, 64);
    ExpectAt(e, "gInvTransposeW", 128, 64);
    ASSERT_NE(Find(e, "gDiffuseMap"), nullptr);
    EXPECT_EQ(Find(e, "gDiffuseMap")->cls, fx::VarClass::Texture);
    EXPECT_EQ(Find(e, "gDiffuseMap")->typeName, "Texture2D");

    ASSERT_EQ(e.samplers.size(), 1u);
    EXPECT_EQ(e.samplers[0].filter, 0u);      // MIN_MAG_MIP_POINT
    EXPECT_EQ(e.samplers[0].address[0], 1u);  // WRAP
    EXPECT_EQ(e.samplers[0].address[1], 1u);
}

TEST(EffectCompile, OffsetsFollowHlslPacking) {
    fxtest::Compiled c = CompileText(
        "packing.fx",
        WithShaders(
            R"(
struct Small { float4 a; float b; };
cbuffer cbA { Small gSmall; float gAfterStruct; float3 gVec; float4x3 gColumns; row_major float4x3 gRows; float4 gTint; };
float gLoose;
float4 gLoose4;
)",
            "return gTint * gSmall.b * gAfterStruct * gVec.x * gColumns[0].x * gRows[0].x * gLoose * gLoose4;"));
    ASSERT_EQ(c.hr, S_OK) << c.messages;
    fx::CompiledEffect e = Reflect(c);
    ExpectAt(e, "gSmall", 0, 20);
    ExpectAt(e, "gAfterStruct", 32, 4);  // a float after a struct starts on the next 16 bytes
    ExpectAt(e, "gVec", 36, 12);         // but a float3 fills the rest of a register
    ExpectAt(e, "gColumns", 48, 48);     // 3 column registers
    ExpectAt(e, "gRows", 96, 60);        // 4 row registers of 3 floats
    ExpectAt(e, "gTint", 160, 16);
    EXPECT_TRUE(Find(e, "gColumns")->columnMajor);
    EXPECT_FALSE(Find(e, "gRows")->columnMajor);
    EXPECT_EQ(Find(e, "gRows")->rows, 4u);
    EXPECT_EQ(Find(e, "gRows")->columns, 3u);
    ASSERT_NE(Find(e, "gLoose4"), nullptr);
    EXPECT_EQ(e.cbuffers[Find(e, "gLoose")->cbuffer].name, "$Global");
    ExpectAt(e, "gLoose4", 16, 16);
}

TEST(EffectCompile, SyntaxErrorFailsNamingFileAndLine) {
    std::string path = fxtest::WriteTempFile("broken.fx", WithShaders("float4 gTint;\nfloat4 gBad = ;\n"));
    fxtest::Compiled c = fxtest::CompileFile(path);
    EXPECT_EQ(c.hr, E_FAIL);
    EXPECT_TRUE(c.bytes.empty());
    EXPECT_NE(c.messages.find(path + "(2,"), std::string::npos) << c.messages;
    EXPECT_NE(c.messages.find("error"), std::string::npos) << c.messages;
}

TEST(EffectCompile, WarningsStillProduceTheEffect) {
    fxtest::Compiled c = CompileText("warn.fx", WithShaders("float4 gTint;\n", "[unknownattr] return gTint;"));
    EXPECT_EQ(c.hr, S_OK);
    EXPECT_FALSE(c.bytes.empty());
    EXPECT_NE(c.messages.find("warn.fx(4,"), std::string::npos) << c.messages;
    EXPECT_NE(c.messages.find("warning"), std::string::npos) << c.messages;
    EXPECT_EQ(c.messages.find("error"), std::string::npos) << c.messages;
}

TEST(EffectCompile, FileAndProfileProblemsAreReported) {
    fxtest::Compiled missing = fxtest::CompileFile("FX/no_such_effect.fx");
    EXPECT_EQ(missing.hr, D3D11_ERROR_FILE_NOT_FOUND);
    EXPECT_NE(missing.messages.find("FX/no_such_effect.fx"), std::string::npos);
    fxtest::Compiled profile = fxtest::CompileFile("FX/lighting.fx", "vs_5_0");
    EXPECT_EQ(profile.hr, E_NOTIMPL);
    EXPECT_NE(profile.messages.find("vs_5_0"), std::string::npos);
}

TEST(EffectCompile, EffectBlockErrorsNameTheirLine) {
    struct Case {
        const char* what;
        std::string text;
        const char* where;
    };
    const std::string shaders =
        "float4 gTint;\nfloat4 VS(float3 p : POSITION) : SV_POSITION { return float4(p, 1); }\n"
        "float4 PS(float4 p : SV_POSITION) : SV_Target { return gTint; }\n";
    const Case cases[] = {
        {"unknown filter", "SamplerState s\n{\n Filter = BLURRY;\n};\n" + shaders, "(3,"},
        {"unknown pass statement", shaders + "technique11 T\n{\n pass P\n {\n SetMagic(1);\n }\n}\n", "(8,"},
        {"unclosed technique", shaders + "technique11 T\n{\n pass P\n {\n", "(7,"},
        {"missing entry point",
         shaders + "technique11 T { pass P {\nSetVertexShader(CompileShader(vs_5_0, Nope()));\n} }\n", "error"},
        {"pixel input the vertex shader lacks",
         "float4 VS(float3 p : POSITION) : SV_POSITION { return float4(p, 1); }\n"
         "float4 PS(float4 p : SV_POSITION, float2 t : TEXCOORD) : SV_Target { return float4(t, 0, 1); }\n"
         "technique11 T\n{\n pass P\n {\n SetVertexShader(CompileShader(vs_5_0, VS()));\n"
         " SetPixelShader(CompileShader(ps_5_0, PS()));\n }\n}\n",
         "(5,"},
    };
    for (const Case& k : cases) {
        fxtest::Compiled c = CompileText("blocks.fx", k.text);
        EXPECT_EQ(c.hr, E_FAIL) << k.what;
        EXPECT_NE(c.messages.find(k.where), std::string::npos) << k.what << ": " << c.messages;
    }
}

// fx_5_0 has no arrays of constant buffers; one whose packing needs a flattened block made SPIRV-Cross throw.
TEST(EffectCompile, ArraysOfConstantBuffersAreRefused) {
    const char* const structs[] = {"struct S { float a; float3 b; };", "struct S { float4 a; float4 b; };"};
    for (const char* s : structs) {
        const std::string text =
            std::string(s) + "\nConstantBuffer<S> gBuffers[2];\n" +
            "float4 VS(float3 p : POSITION) : SV_POSITION { return float4(p * gBuffers[1].b.x, 1); }\n" +
            "technique11 T { pass P { SetVertexShader(CompileShader(vs_5_0, VS())); } }\n";
        fxtest::Compiled c = CompileText("buffers.fx", text);
        EXPECT_EQ(c.hr, E_FAIL) << s;
        EXPECT_NE(c.messages.find("buffers.fx(4,"), std::string::npos) << c.messages;
        EXPECT_NE(c.messages.find("arrays of constant buffers"), std::string::npos) << c.messages;
    }
}

TEST(EffectCompile, TruncatedEffectFilesFailCleanly) {
    fxtest::Compiled whole = fxtest::CompileFile("FX/lighting.fx");
    ASSERT_EQ(whole.hr, S_OK);
    std::string text;
    {
        std::ifstream in("FX/lighting.fx", std::ios::binary);
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    const std::string tail = text.substr(text.find("technique11"));
#ifdef CORVALO_SANITIZE
    // Each cut costs a whole compile, ten times slower under the sanitizers; every cut is made in the normal build.
    const size_t step = 7;
#else
    const size_t step = 1;
#endif
    for (size_t n = 0; n < tail.size(); n += step) {
        std::string cut = text.substr(0, text.size() - tail.size() + n);
        fxtest::Compiled c = CompileText("cut.fx", cut);
        EXPECT_TRUE(c.hr == S_OK || c.hr == E_FAIL) << n;
        if (c.hr == E_FAIL) {
            EXPECT_NE(c.messages.find("cut.fx"), std::string::npos) << n;
        }
    }
    for (size_t n = 0; n < text.size(); n += 97) {
        fxtest::Compiled c = CompileText("head.fx", text.substr(0, n));
        EXPECT_TRUE(c.hr == S_OK || c.hr == E_FAIL) << n;
    }
}

TEST(EffectCompile, CompilerCrashesBecomeErrorsNamingTheFile) {
    // Each of these crashes glslang's HLSL front end (12.0): a function header missing its opening parenthesis,
    // and parentheses nested deeper than its recursive grammar has stack for.
    const std::string deep = "float4 VS(float3 p : POSITION) : SV_POSITION { return float4(p, " +
                             std::string(4000, '(') + "1" + std::string(4000, ')') + "); }\n" +
                             "technique11 T { pass P { SetVertexShader(CompileShader(vs_5_0, VS())); } }\n";
    const std::string files[] = {"tests/effects/data/lighting_missing_parenthesis.fx",
                                 fxtest::WriteTempFile("deep.fx", deep)};
    for (const std::string& file : files) {
        fxtest::Compiled c = fxtest::CompileFile(file);
        EXPECT_EQ(c.hr, E_FAIL) << file;
        EXPECT_TRUE(c.bytes.empty()) << file;
        EXPECT_NE(c.messages.find(file), std::string::npos) << c.messages;
        EXPECT_NE(c.messages.find("error X3000"), std::string::npos) << c.messages;
    }
}

// Preprocessing that never ends: an #if of 2^40 terms, expanded a token at a time in little memory.
std::string EndlessPreprocessing() {
    std::string text = "#define A0 0+\n";
    for (int i = 1; i <= 40; ++i) {
        text += "#define A" + std::to_string(i) + " A" + std::to_string(i - 1) + " A" + std::to_string(i - 1) + "\n";
    }
    return text + "#if A40 0\n#endif\n";
}

TEST(EffectCompile, OneDeadlineCoversEveryEntryPointOfAFile) {
    struct Limit {
        Limit() { fx::SetCompileTimeLimit(std::chrono::seconds(1)); }
        ~Limit() { fx::SetCompileTimeLimit(std::chrono::seconds(30)); }
    } limit;
    std::string text = EndlessPreprocessing() + "float4 gTint;\n";
    std::string passes;
    for (const char* pass : {"A", "B", "C"}) {
        text += std::string("float4 VS") + pass + "(float3 p : POSITION) : SV_POSITION { return float4(p, 1); }\n" +
                "float4 PS" + pass + "(float4 p : SV_POSITION) : SV_Target { return gTint; }\n";
        passes += std::string(" pass P") + pass + " { SetVertexShader(CompileShader(vs_5_0, VS" + pass +
                  "())); SetPixelShader(CompileShader(ps_5_0, PS" + pass + "())); }";
    }
    const std::string file = fxtest::WriteTempFile("endless.fx", text + "technique11 T {" + passes + " }\n");
    const fxtest::Compiled c = fxtest::CompileFile(file);
    EXPECT_EQ(c.hr, E_FAIL);
    EXPECT_NE(c.messages.find(file + ": error X3000: the HLSL compiler did not finish the effect file within 1 s"),
              std::string::npos)
        << c.messages;
    size_t reports = 0;
    for (size_t at = c.messages.find("did not finish"); at != std::string::npos;
         at = c.messages.find("did not finish", at + 1)) {
        ++reports;
    }
    EXPECT_EQ(reports, 1u) << c.messages;
}

TEST_F(EffectCacheTest, CachedAndFreshCompilesGiveIdenticalOutput) {
    for (const fx::CompileKey& key : CacheKeys()) {
        const fx::CompileOutput fresh = fx::CompileEffect(key.text, key.file, key.defines);
        ASSERT_TRUE(fresh.ok) << key.file << ": " << fresh.messages;
        fx::CompileOutput first, second;
        EXPECT_FALSE(FromCache(key, &first)) << key.file;
        EXPECT_TRUE(FromCache(key, &second)) << key.file;
        ExpectSameOutput(first, fresh, key.file + " compiled");
        ExpectSameOutput(second, fresh, key.file + " cached");
    }
    EXPECT_EQ(Entries().size(), CacheKeys().size());
}

TEST_F(EffectCacheTest, DamagedEntriesAreIgnoredAndRewritten) {
    const fx::CompileKey key = CacheKeys()[0];
    const fx::CompileOutput fresh = fx::CompileEffect(key.text, key.file, key.defines);
    FromCache(key);
    const std::string path = fx::EffectCacheFile(key);
    const std::string good = ReadWhole(path);
    ASSERT_FALSE(good.empty());
    fx::CompileKey other = key;
    other.flags ^= 1;
    FromCache(other);
    const std::string otherEntry = ReadWhole(fx::EffectCacheFile(other));
    struct Damage {
        const char* what;
        std::string entry;
    };
    std::vector<Damage> damages = {
        {"empty", ""},
        {"header only", good.substr(0, 20)},
        {"half", good.substr(0, good.size() / 2)},
        {"last byte missing", good.substr(0, good.size() - 1)},
        {"a byte appended", good + "x"},
        {"another key's entry", otherEntry},
        {"effect bytes that do not decode, resealed", EffectCutShort(good, fresh.bytes.size())},
        {"another format", std::string(good).replace(8, 1, 1, '\x7f')},
    };
    for (size_t at : {size_t(0), size_t(9), size_t(13), size_t(40), good.size() / 2, good.size() - 1}) {
        std::string flipped = good;
        flipped[at] = static_cast<char>(flipped[at] ^ 0x20);
        damages.push_back({"one byte flipped", flipped});
    }
    for (const Damage& damage : damages) {
        WriteWhole(path, damage.entry);
        fx::CompileOutput out;
        EXPECT_FALSE(FromCache(key, &out)) << damage.what;
        ExpectSameOutput(out, fresh, damage.what);
        EXPECT_EQ(ReadWhole(path), good) << damage.what << ": not rewritten";
        EXPECT_TRUE(FromCache(key)) << damage.what;
    }
}

TEST_F(EffectCacheTest, AnEditedFileReplacesItsEntry) {
    const fx::CompileKey key = CacheKeys()[0];
    fx::CompileKey edited = key;
    edited.text += "\n// edited\n";
    FromCache(key);
    fx::CompileOutput out;
    EXPECT_FALSE(FromCache(edited, &out));
    ExpectSameOutput(out, fx::CompileEffect(edited.text, edited.file, edited.defines), "edited");
    EXPECT_TRUE(FromCache(edited));
    EXPECT_FALSE(FromCache(key));
    EXPECT_EQ(Entries().size(), 1u);
}

TEST_F(EffectCacheTest, FailedCompilesAreNotKept) {
    const fx::CompileKey broken = {WithShaders("float4 gTint;\nfloat4 gBad = ;\n"), "broken.fx", "", 0};
    fx::CompileOutput out;
    EXPECT_FALSE(FromCache(broken, &out));
    EXPECT_FALSE(out.ok);
    EXPECT_NE(out.messages.find("broken.fx(2,"), std::string::npos) << out.messages;
    EXPECT_FALSE(FromCache(broken));
    EXPECT_TRUE(Entries().empty());
}

TEST_F(EffectCacheTest, TheOldestEntriesGoPastThirtyTwo) {
    for (int i = 0; i < 34; ++i) FromCache({fxtest::kQuadEffect, "quad" + std::to_string(i) + ".fx", "", 0});
    EXPECT_EQ(Entries().size(), 32u);
    EXPECT_TRUE(FromCache({fxtest::kQuadEffect, "quad33.fx", "", 0}));
}

TEST_F(EffectCacheTest, AnUnusableDirectoryOnlyCostsTheCompile) {
    const std::string file = mDirectory + "/file";
    WriteWhole(file, "not a directory");
    fx::SetEffectCacheDirectory(file + "/cache");
    const fx::CompileKey key = CacheKeys()[0];
    fx::CompileOutput out;
    EXPECT_FALSE(FromCache(key, &out));
    EXPECT_FALSE(FromCache(key));
    ExpectSameOutput(out, fx::CompileEffect(key.text, key.file, key.defines), "unusable directory");
    fx::SetEffectCacheDirectory("");
    EXPECT_EQ(fx::EffectCacheFile(key), "");
    EXPECT_FALSE(FromCache(key));
}
