#include "objloader.h"

#include <d3dx11.h>
#include <platform_files.h>
#include <platform_text.h>
#include <traceresult.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <locale>
#include <utility>

// Room reserved for positions, normals and texture coordinates before reading. The fuzzer builds with a small
// figure: under the address sanitizer every reserved byte is poisoned on each of its thousands of loads a second.
#ifndef OBJLOADER_RESERVED_ENTRIES
#define OBJLOADER_RESERVED_ENTRIES 2000000
#endif

namespace {

constexpr size_t kReservedEntries = OBJLOADER_RESERVED_ENTRIES;

using Vertices = std::vector<Vertex::NormalTexVertex>;
using Subsets = std::vector<MeshGeometry::Subset>;

// Only regular files are read: a device or a pipe named in a file could block or never end.
bool OpenText(std::ifstream& fin, const std::wstring& fileName) {
    const std::filesystem::path path(platform::ToUtf8(fileName));
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return false;
    fin.open(path, std::ios::in | std::ios::binary);
    fin.imbue(std::locale::classic());
    return fin.is_open();
}

// A file past the readers' limit is refused whole, with a message, rather than read for minutes.
bool RefuseTooLarge(const std::wstring& fileName) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(platform::ToUtf8(fileName), error);
    if (error || size <= platform::kMaxInputFileBytes) return false;
    const std::wstring message = fileName + L": " + platform::FromUtf8(platform::InputTooLargeReason()) + L"\n";
    OutputDebugStringW(message.c_str());
    return true;
}

// Each byte of the file is one character.
std::wstring Widen(const std::string& bytes) {
    std::wstring text;
    for (const char c : bytes) text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    return text;
}

bool ReadToken(std::istream& fin, std::wstring& token) {
    std::string bytes;
    fin >> bytes;
    token = Widen(bytes);
    return !fin.fail();
}

// Returns whether a line feed ended the line (not the end of the file).
bool DiscardLine(std::istream& fin) {
    fin.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    return !fin.eof();
}

// The characters formatted extraction skips in the classic locale.
bool IsSpace(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// Skips blanks and line ends, counting the lines passed, and reads the token there.
bool NextSymbol(std::istream& fin, std::wstring& symbol, size_t& line) {
    while (IsSpace(fin.peek())) {
        if (fin.get() == '\n') ++line;
    }
    return ReadToken(fin, symbol);
}

void SkipBlanks(std::istream& fin) {
    while (fin.peek() == ' ' || fin.peek() == '\t') fin.get();
}

bool AtLineEnd(std::istream& fin) {
    SkipBlanks(fin);
    const int c = fin.peek();
    return c == std::char_traits<char>::eof() || c == '\n' || c == '\r';
}

// A comment may follow a face's corners.
bool AtFaceEnd(std::istream& fin) { return AtLineEnd(fin) || fin.peek() == '#'; }

// A keyword's argument is read from its own line only: a missing one is empty, and the next line stays unread.
std::string ReadArgument(std::istream& fin) {
    std::string bytes;
    if (!AtLineEnd(fin)) fin >> bytes;
    return bytes;
}

// File names are UTF-8, as the platform layer opens them.
std::wstring ReadFileName(std::istream& fin) { return platform::FromUtf8(ReadArgument(fin)); }

// A number missing from its line is malformed: the stream fails as it does on a word.
template <typename Number>
bool ReadNumber(std::istream& fin, Number& value) {
    if (AtLineEnd(fin)) fin.setstate(std::ios::failbit);
    return static_cast<bool>(fin >> value);
}

void Report(const std::wstring& fileName, size_t line, const std::wstring& reason) {
    const std::wstring message = fileName + L"(" + std::to_wstring(line) + L"): " + reason + L"\n";
    OutputDebugStringW(message.c_str());
}

// An index is read only from the current line, so a face never swallows the next line's keyword.
bool ReadIndex(std::istream& fin, long long& index) {
    SkipBlanks(fin);
    const int c = fin.peek();
    const bool startsNumber = (c >= '0' && c <= '9') || c == '-' || c == '+';
    return startsNumber && (fin >> index);
}

bool InRange(long long index, size_t count) { return index >= 1 && static_cast<unsigned long long>(index) <= count; }

bool SameVertex(const Vertex::NormalTexVertex& a, const Vertex::NormalTexVertex& b) {
    return a.Pos.x == b.Pos.x && a.Pos.y == b.Pos.y && a.Pos.z == b.Pos.z && a.Tex.x == b.Tex.x && a.Tex.y == b.Tex.y &&
           a.Normal.x == b.Normal.x && a.Normal.y == b.Normal.y && a.Normal.z == b.Normal.z;
}

void ReleaseViews(Subsets& subsets, size_t from) {
    for (size_t i = from; i < subsets.size(); ++i) {
        if (subsets[i].srv) subsets[i].srv->Release();
        subsets[i].srv = nullptr;
    }
}

}  // namespace

// The working state of one mesh read.
class OBJLoader::MeshRead {
public:
    MeshRead(OBJLoader& loader, ID3D11Device* device, const std::wstring& fileName, Vertices& vertices,
             Subsets& subsets, bool flipWinding, bool flipTexV)
        : mLoader(loader),
          mDevice(device),
          mFileName(fileName),
          mVertices(vertices),
          mSubsets(subsets),
          mFlipWinding(flipWinding),
          mFlipTexV(flipTexV),
          mSubsetBase(subsets.size()),
          subgroupIndices(1) {
        vertPos.reserve(kReservedEntries);
        normals.reserve(kReservedEntries);
        uvs.reserve(kReservedEntries);
    }
    ~MeshRead() { FreeHashTable(hashTable); }
    MeshRead(const MeshRead&) = delete;
    MeshRead& operator=(const MeshRead&) = delete;

    bool Open() { return OpenText(fin, mFileName); }

    bool ReadAll() {
        while (NextSymbol(fin, symbol, mLine)) {
            if (!Dispatch()) return false;
            if (DiscardLine(fin)) ++mLine;
        }
        return true;
    }

    // Group j belongs to the j-th subset this read appended; entries the caller passed in are not the mesh's.
    void AppendGroups(std::vector<UINT>& indices) {
        while (mSubsets.size() < mSubsetBase + subgroupIndices.size()) mSubsets.push_back(MeshGeometry::Subset());
        indices.reserve(indices.size() + mIndexTotal);
        for (size_t j = 0; j < subgroupIndices.size(); ++j) {
            MeshGeometry::Subset& subset = mSubsets[mSubsetBase + j];
            subset.faceCount = static_cast<UINT>(subgroupIndices[j].size() / 3);
            subset.faceStart = static_cast<UINT>(indices.size() / 3);
            subset.id = static_cast<UINT>(mSubsetBase + j);
            subset.vertexStart = 0;
            subset.vertexCount = static_cast<UINT>(mVertices.size());
            indices.insert(indices.end(), subgroupIndices[j].begin(), subgroupIndices[j].end());
        }
    }

private:
    bool Dispatch() {
        if (symbol == L"mtllib") return ReadMaterialLibrary();
        if (symbol == L"v") return ReadFloats(vertPos);
        if (symbol == L"vn") return ReadFloats(normals);
        if (symbol == L"vt") return ReadFloats(uvs);
        if (symbol == L"f") return ReadFace();
        if (symbol == L"usemtl") {
            subsetName = Widen(ReadArgument(fin));
            subgroup = GroupOf(subsetName);
        }
        return true;
    }

    // As FindSubsetByName, among the subsets of this mesh.
    size_t GroupOf(const std::wstring& name) const {
        for (size_t i = mSubsetBase; i < mSubsets.size(); ++i) {
            if (mSubsets[i].name == name) return i - mSubsetBase;
        }
        return 0;
    }

    bool ReadMaterialLibrary() {
        const std::wstring materialFile = ReadFileName(fin);
        if (materialFile.empty()) return true;
        if (!mLoader.ReadMaterials(mDevice, materialFile, mSubsets, mSubsetBase + kMaxSubsets)) {
            return Fail(L"more materials than the loader accepts");
        }
        const size_t groups = mSubsets.size() - mSubsetBase;
        if (subgroupIndices.size() < groups) subgroupIndices.resize(groups);
        return true;
    }

    // A malformed number fails the stream, which ends the read with what came before it; the line is reported so a
    // mesh cut short there can be found.
    bool ReadFloats(std::vector<XMFLOAT3>& list) {
        XMFLOAT3 value;
        if (ReadNumber(fin, value.x) && ReadNumber(fin, value.y) && ReadNumber(fin, value.z)) list.push_back(value);
        return ReportMalformed();
    }

    bool ReadFloats(std::vector<XMFLOAT2>& list) {
        XMFLOAT2 value;
        if (ReadNumber(fin, value.x) && ReadNumber(fin, value.y)) list.push_back(value);
        return ReportMalformed();
    }

    // Always true: the read goes on to its end, which the failed stream brings at once.
    bool ReportMalformed() {
        if (fin.fail()) Report(mFileName, mLine, L"malformed number: the mesh ends before this line");
        return true;
    }

    bool ReadFace() {
        int corner = 0;
        for (; corner < 4 && !AtFaceEnd(fin); ++corner) {
            Vertex::NormalTexVertex newVertex = {};
            if (!ReadCorner(newVertex)) return false;
            if (!AppendCorner(corner, newVertex)) return false;
        }
        if (corner < 3) return Fail(L"a face needs at least three corners");
        return true;
    }

    bool ReadCorner(Vertex::NormalTexVertex& newVertex) {
        long long tempPosIndex = 0;
        if (!ReadIndex(fin, tempPosIndex)) return Fail(L"malformed face corner");
        if (!CheckIndex(tempPosIndex, vertPos.size(), L"position")) return false;
        mKey = static_cast<UINT>(tempPosIndex);
        newVertex.Pos = vertPos[tempPosIndex - 1];
        if (fin.peek() != '/') return true;
        fin.get();
        if (fin.peek() != '/' && !ReadTexture(newVertex)) return false;
        if (fin.peek() != '/') return true;
        fin.get();
        if (AtFaceEnd(fin)) return true;
        return ReadNormal(newVertex);
    }

    bool ReadTexture(Vertex::NormalTexVertex& newVertex) {
        long long tempTexIndex = 0;
        if (!ReadIndex(fin, tempTexIndex)) return Fail(L"malformed texture index in a face corner");
        if (!CheckIndex(tempTexIndex, uvs.size(), L"texture")) return false;
        newVertex.Tex = uvs[tempTexIndex - 1];
        if (mFlipTexV) newVertex.Tex.y = 1.0f - newVertex.Tex.y;
        return true;
    }

    bool ReadNormal(Vertex::NormalTexVertex& newVertex) {
        long long tempNormalIndex = 0;
        if (!ReadIndex(fin, tempNormalIndex)) return Fail(L"malformed normal index in a face corner");
        if (!CheckIndex(tempNormalIndex, normals.size(), L"normal")) return false;
        newVertex.Normal = normals[tempNormalIndex - 1];
        return true;
    }

    bool CheckIndex(long long index, size_t count, const wchar_t* kind) {
        if (InRange(index, count)) return true;
        return Fail(std::wstring(kind) + L" index " + std::to_wstring(index) + L" is outside 1.." +
                    std::to_wstring(count));
    }

    // A quad's fourth corner first repeats two earlier corners so that it closes a second triangle.
    bool AppendCorner(int corner, const Vertex::NormalTexVertex& newVertex) {
        std::vector<UINT>& list = subgroupIndices[subgroup];
        if (corner == 3) {
            const size_t n = list.size();
            const UINT first = mFlipWinding ? list[n - 2] : list[n - 3];
            const UINT second = mFlipWinding ? list[n - 3] : list[n - 1];
            list.push_back(first);
            list.push_back(second);
            mIndexTotal += 2;
        }
        list.push_back(mLoader.FindOrAddVertex(newVertex, mKey, mVertices, hashTable));
        ++mIndexTotal;
        if (corner == 2 && mFlipWinding) std::swap(list[list.size() - 1], list[list.size() - 2]);

        if (mIndexTotal > kMaxIndices) return Fail(L"more indices than the loader accepts");
        if (mLoader.mComparisons > kMaxComparisons) return Fail(L"too many different corners share one position");
        return true;
    }

    bool Fail(const std::wstring& reason) {
        Report(mFileName, mLine, reason);
        return false;
    }

    OBJLoader& mLoader;
    ID3D11Device* mDevice;
    const std::wstring& mFileName;
    Vertices& mVertices;
    Subsets& mSubsets;
    const bool mFlipWinding;
    const bool mFlipTexV;
    const size_t mSubsetBase;
    size_t mLine = 1;
    size_t mIndexTotal = 0;
    UINT mKey = 0;

    std::ifstream fin;
    std::wstring symbol;
    std::vector<XMFLOAT3> vertPos;
    std::vector<XMFLOAT3> normals;
    std::vector<XMFLOAT2> uvs;
    std::vector<std::vector<UINT>> subgroupIndices;
    size_t subgroup = 0;
    HashTable hashTable;
    std::wstring subsetName;
};

bool OBJLoader::LoadMeshFile(ID3D11Device* device, const std::wstring& fileName, Vertices& vertices,
                             std::vector<UINT>& indices, Subsets& subsets, bool flipWinding, bool flipTexV) {
    mComparisons = 0;
    if (RefuseTooLarge(fileName)) return false;
    MeshRead read(*this, device, fileName, vertices, subsets, flipWinding, flipTexV);
    if (!read.Open()) {
        OutputDebugStringW(L"Error loading mesh file.");
        return false;
    }

    const size_t vertexBase = vertices.size();
    const size_t subsetBase = subsets.size();
    if (!read.ReadAll()) {
        // The caller never sees half a mesh, nor texture views it would have to release.
        ReleaseViews(subsets, subsetBase);
        subsets.resize(subsetBase);
        vertices.resize(vertexBase);
        return false;
    }
    read.AppendGroups(indices);
    return true;
}

void OBJLoader::LoadMaterialFile(ID3D11Device* device, const std::wstring& fileName, Subsets& subsets) {
    ReadMaterials(device, fileName, subsets, subsets.size() + kMaxSubsets);
}

// Stops with a message where a material would take the list past subsetLimit entries, and then returns false.
bool OBJLoader::ReadMaterials(ID3D11Device* device, const std::wstring& fileName, Subsets& subsets,
                              size_t subsetLimit) {
    if (RefuseTooLarge(fileName)) return false;
    std::ifstream fin;
    if (!OpenText(fin, fileName)) OutputDebugStringW(L"Error loading material file.");

    MeshGeometry::Subset newData;
    std::wstring symbol;
    size_t line = 1;
    while (NextSymbol(fin, symbol, line)) {
        if (symbol == L"map_Kd") {
            if (subsets.size() >= subsetLimit) {
                Report(fileName, line, L"more materials than the loader accepts");
                return false;
            }
            symbol = ReadFileName(fin);
            if (device && !symbol.empty()) {
                VERIFY_HR(D3DX11CreateShaderResourceViewFromFile(device, symbol.c_str(), 0, 0, &newData.srv, 0));
            }
            subsets.push_back(newData);
            newData = MeshGeometry::Subset();
        } else if (symbol == L"newmtl") {
            newData.name = Widen(ReadArgument(fin));
        }
        if (DiscardLine(fin)) ++line;
    }
    return true;
}

UINT OBJLoader::FindOrAddVertex(const Vertex::NormalTexVertex& vertex, UINT key, Vertices& vertices,
                                HashTable& hashTable) {
    HashEntry** link = &hashTable[key];
    for (HashEntry* entry = *link; entry; entry = entry->next) {
        ++mComparisons;
        if (SameVertex(vertices[entry->index], vertex)) return entry->index;
        link = &entry->next;
    }
    *link = new HashEntry{nullptr, static_cast<UINT>(vertices.size())};
    vertices.push_back(vertex);
    return (*link)->index;
}

UINT OBJLoader::FindSubsetByName(const std::wstring& name, const Subsets& subsets) const {
    for (size_t i = 0; i < subsets.size(); ++i) {
        if (subsets[i].name == name) return static_cast<UINT>(i);
    }
    return 0;
}

void OBJLoader::FreeHashTable(HashTable& hashTable) {
    for (auto& chain : hashTable) {
        HashEntry* entry = chain.second;
        while (entry) {
            HashEntry* next = entry->next;
            delete entry;
            entry = next;
        }
    }
    hashTable.clear();
}
