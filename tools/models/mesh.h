#pragma once
// Meshes written as OBJ text with one index per corner for position, texture coordinate and normal alike.
#include <array>
#include <string>
#include <vector>

namespace models {

struct Vec3 {
    float x, y, z;
};

struct Corner {
    Vec3 pos;
    Vec3 normal;
    float u, v;
};

class Mesh {
public:
    int AddVertex(const Corner& corner);
    // Faces of three or four corners; the order is turned where needed so that the face, seen from the side its
    // normals point to, runs clockwise: the front face of the viewer's culling.
    void AddFace(const std::vector<int>& corners);
    void UseMaterial(const std::string& name);
    size_t Triangles() const;

    // Writes NAME.obj under dir, naming its material file as modelDir/NAME.mtl (the loader reads names as given,
    // from the working directory).
    void Save(const std::string& dir, const std::string& modelDir, const std::string& name) const;

private:
    struct Group {
        std::string material;
        std::vector<std::vector<int>> faces;
    };
    std::vector<Corner> mVertices;
    std::vector<Group> mGroups;
};

struct Material {
    std::string name;
    std::string texture;  // file name under the model folder
};

void SaveMaterials(const std::string& dir, const std::string& modelDir, const std::string& name,
                   const std::vector<Material>& materials);

}  // namespace models
