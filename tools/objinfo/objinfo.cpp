// Loads an OBJ mesh (and its material file) through OBJLoader on a headless device and prints the loaded lists
// as one line of JSON; a failed load prints the reason and exits with 1, a bad command line prints the usage on
// stderr and exits with 2.
#include <command_line.h>
#include <d3d11.h>
#include <objloader.h>
#include <platform_hooks.h>
#include <platform_text.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string JsonString(const std::wstring& text) {
    std::string out = "\"";
    for (const char c : platform::ToUtf8(text)) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

int Fail(const std::wstring& error, int code) {
    std::printf("{\"ok\":false,\"error\":%s}\n", JsonString(error).c_str());
    return code;
}

std::wstring LastMessage(const std::vector<std::wstring>& messages) {
    if (messages.empty()) return L"the mesh did not load";
    std::wstring last = messages.back();
    while (!last.empty() && (last.back() == L'\n' || last.back() == L'\r')) last.pop_back();
    return last;
}

void PrintMesh(const std::vector<Vertex::NormalTexVertex>& vertices, const std::vector<UINT>& indices,
               const std::vector<MeshGeometry::Subset>& subsets) {
    std::printf("{\"ok\":true,\"vertices\":%zu,\"indices\":[", vertices.size());
    for (size_t i = 0; i < indices.size(); ++i) std::printf(i ? ",%u" : "%u", indices[i]);
    std::printf("],\"subsets\":[");
    for (size_t i = 0; i < subsets.size(); ++i) {
        const MeshGeometry::Subset& s = subsets[i];
        std::printf("%s{\"id\":%u,\"name\":%s,\"faceStart\":%u,\"faceCount\":%u,\"vertexCount\":%u,\"hasTexture\":%s}",
                    i ? "," : "", s.id, JsonString(s.name).c_str(), s.faceStart, s.faceCount, s.vertexCount,
                    s.srv ? "true" : "false");
    }
    std::printf("]}\n");
}

// Loads the mesh the command line names and prints it; returns the exit code.
int Inspect(const cli::Arguments& args) {
    // The loader's own message for an input it cannot open says only that it failed, not why.
    std::string reason;
    std::FILE* input = cli::OpenInput(args.operands[0], &reason);
    if (!input) return Fail(platform::FromUtf8(args.operands[0] + ": " + reason), 1);
    std::fclose(input);

    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    std::vector<std::wstring> messages;
    platform::SetDebugOutputHook([&messages](const std::wstring& text) { messages.push_back(text); });
    platform::SetMessageBoxHook([](const platform::MessageBoxRequest&) { return IDNO; });

    ID3D11Device* device = nullptr;
    ID3D11DeviceContext* context = nullptr;
    D3D_FEATURE_LEVEL level;
    if (FAILED(D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, nullptr, 0, D3D11_SDK_VERSION, &device,
                                 &level, &context))) {
        return Fail(L"no Direct3D device", 1);
    }

    std::vector<Vertex::NormalTexVertex> vertices;
    std::vector<UINT> indices;
    std::vector<MeshGeometry::Subset> subsets;
    const bool ok = OBJLoader().LoadMeshFile(device, platform::FromUtf8(args.operands[0]), vertices, indices, subsets,
                                             args.Has("flip-winding"), args.Has("flip-v"));
    const int code = ok ? 0 : Fail(LastMessage(messages), 1);
    if (ok) PrintMesh(vertices, indices, subsets);

    for (MeshGeometry::Subset& subset : subsets) {
        if (subset.srv) subset.srv->Release();
    }
    context->Release();
    device->Release();
    platform::SetDebugOutputHook(nullptr);
    return code;
}

}  // namespace

int main(int argc, char** argv) {
    const cli::Syntax syntax = {
        "objinfo",
        "FILE",
        1,
        1,
        "Loads an OBJ mesh and its material file as the game's models do and prints what was\n"
        "loaded as one line of JSON; a mesh that does not load prints {\"ok\":false,\"error\":...}\n"
        "and exits with 1.\n",
        {{"flip-winding", "", "reverse the order of every face's corners"},
         {"flip-v", "", "flip the texture coordinates upside down (v becomes 1 - v)"}}};
    return cli::Run(syntax, argc, argv, Inspect);
}
