#pragma once
#include <d3d11.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "meshgeometry.h"
#include "vertex.h"

// Reads a Wavefront OBJ mesh and the material library it names into unique vertices, 32-bit triangle indices
// grouped by material, and one textured subset per material. Malformed faces and oversized inputs make a load
// fail with a debugger-output message naming the file and line; the output lists are then left as they were.
class OBJLoader {
public:
    // One link of the chain of output vertices that came from the same position index.
    struct HashEntry {
        HashEntry* next;
        UINT index;
    };
    using HashTable = std::map<UINT, HashEntry*>;

    static constexpr size_t kMaxIndices = 2000000;
    static constexpr size_t kMaxSubsets = 4096;
    // Vertex comparisons one load may spend; only a file built to defeat de-duplication comes near it.
    static constexpr uint64_t kMaxComparisons = 100000000;

    // Without a device the subsets get no texture views.
    bool LoadMeshFile(ID3D11Device* device, const std::wstring& fileName,
                      std::vector<Vertex::NormalTexVertex>& vertices, std::vector<UINT>& indices,
                      std::vector<MeshGeometry::Subset>& subsets, bool flipWinding, bool flipTexV);
    void LoadMaterialFile(ID3D11Device* device, const std::wstring& fileName,
                          std::vector<MeshGeometry::Subset>& subsets);
    UINT FindOrAddVertex(const Vertex::NormalTexVertex& vertex, UINT key,
                         std::vector<Vertex::NormalTexVertex>& vertices, HashTable& hashTable);
    UINT FindSubsetByName(const std::wstring& name, const std::vector<MeshGeometry::Subset>& subsets) const;

    static void FreeHashTable(HashTable& hashTable);

private:
    class MeshRead;

    bool ReadMaterials(ID3D11Device* device, const std::wstring& fileName, std::vector<MeshGeometry::Subset>& subsets,
                       size_t subsetLimit);

    uint64_t mComparisons = 0;
};
