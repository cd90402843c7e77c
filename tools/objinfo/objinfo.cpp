// Loads an OBJ mesh (and its material file) through OBJLoader on a headless device and prints the loaded lists
// as one line of JSON; a failed load or a material library that cannot be opened prints the reason and exits with 1,
// a bad command line prints the usage on stderr and exits with 2.
#include <command_line.h>
#include <d3d11.h>
#include <objloader.h>
#include <platform_hooks.h>
#include <platform_text.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
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

// The file name after KEYWORD on each line that starts with it, as the loader reads them.
std::vector<std::string> NamesAfter(const std::string& path, const std::string& keyword) {
    std::vector<std::string> names;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (line.find(keyword) == std::string::npos) continue;
        std::istringstream words(line);
        std::string word;
        std::string name;
        if (words >> word && word == keyword && words >> name) names.push_back(name);
    }
    return names;
}

// Why the loader cannot read PATH, or empty when it can: it reads regular files only.
std::string Unreadable(const std::string& path) {
    std::string reason;
    std::FILE* file = cli::OpenInput(path, &reason);
    if (!file) return reason;
    std::fclose(file);
    std::error_code error;
    return std::filesystem::is_regular_file(path, error) ? "" : "not a regular file";
}

// The loader opens the names a mesh gives relative to the working directory, and says only that a material file
// failed; this says which, and where it was looked for.
std::string NotOpened(const std::string& kind, const std::string& name, const std::string& reason) {
    std::error_code error;
    const std::string tried = std::filesystem::absolute(name, error).string();
    return kind + " \"" + name + "\" (looked for " + tried + "): " + reason;
}

// The first of the libraries that cannot be opened, described; empty when there is none.
std::string MissingLibrary(const std::vector<std::string>& libraries) {
    for (const std::string& library : libraries) {
        const std::string reason = Unreadable(library);
        if (!reason.empty()) return NotOpened("material library", library, reason);
    }
    return "";
}

// A picture the loader cannot open leaves its subset untextured, as in the game: the load stands, and the picture is
// only named on stderr.
void ReportMissingTextures(const std::vector<std::string>& libraries) {
    for (const std::string& library : libraries) {
        for (const std::string& texture : NamesAfter(library, "map_Kd")) {
            const std::string reason = Unreadable(texture);
            if (reason.empty()) continue;
            std::fprintf(stderr, "objinfo: %s: %s\n", library.c_str(), NotOpened("texture", texture, reason).c_str());
        }
    }
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

// Loads MESH and prints it; returns the exit code.
int LoadAndPrint(const std::string& mesh, bool flipWinding, bool flipTexV) {
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
    const bool ok =
        OBJLoader().LoadMeshFile(device, platform::FromUtf8(mesh), vertices, indices, subsets, flipWinding, flipTexV);
    const std::vector<std::string> libraries = ok ? NamesAfter(mesh, "mtllib") : std::vector<std::string>();
    const std::string missing = MissingLibrary(libraries);
    int code = 0;
    if (!ok) {
        code = Fail(LastMessage(messages), 1);
    } else if (!missing.empty()) {
        code = Fail(platform::FromUtf8(mesh + ": " + missing), 1);
    } else {
        ReportMissingTextures(libraries);
        PrintMesh(vertices, indices, subsets);
    }

    for (MeshGeometry::Subset& subset : subsets) {
        if (subset.srv) subset.srv->Release();
    }
    context->Release();
    device->Release();
    platform::SetDebugOutputHook(nullptr);
    return code;
}

// Checks the command line's mesh and data directory, then inspects the mesh from there.
int Inspect(const cli::Syntax& syntax, const cli::Arguments& args) {
    const std::string dataDir = args.Value("data");
    if (args.Has("data") && dataDir.empty()) return cli::UsageError(syntax, "option '--data' needs a directory");

    // The loader's own message for an input it cannot open says only that it failed, not why.
    std::string reason;
    std::FILE* input = cli::OpenInput(args.operands[0], &reason);
    if (!input) return Fail(platform::FromUtf8(args.operands[0] + ": " + reason), 1);
    std::fclose(input);

    std::string mesh = args.operands[0];
    if (!dataDir.empty()) {
        std::error_code error;
        mesh = std::filesystem::absolute(mesh, error).string();
        if (chdir(dataDir.c_str()) != 0) {
            return Fail(platform::FromUtf8("cannot enter the data directory " + dataDir + ": " + std::strerror(errno)),
                        1);
        }
    }
    return LoadAndPrint(mesh, args.Has("flip-winding"), args.Has("flip-v"));
}

}  // namespace

int main(int argc, char** argv) {
    const cli::Syntax syntax = {
        "objinfo",
        "FILE",
        1,
        1,
        "Loads an OBJ mesh and its material file as the game's models do and prints what was\n"
        "loaded as one line of JSON; a mesh that does not load, or whose material library cannot\n"
        "be opened, prints {\"ok\":false,\"error\":...} and exits with 1. The names inside the\n"
        "mesh are read from the data directory, as the game reads them; a picture that cannot be\n"
        "opened is named on stderr and its subset is untextured, as in the game.\n",
        {{"flip-winding", "", "reverse the order of every face's corners"},
         {"flip-v", "", "flip the texture coordinates upside down (v becomes 1 - v)"},
         {"data", "DIR", "read the names inside the mesh under DIR, not the working directory"}}};
    return cli::Run(syntax, argc, argv, [&syntax](const cli::Arguments& args) { return Inspect(syntax, args); });
}
