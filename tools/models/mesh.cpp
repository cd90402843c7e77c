#include "mesh.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <stdexcept>

namespace models {

namespace {

Vec3 Sub(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 Cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

std::ofstream Create(const std::string& path) {
    std::ofstream file(path, std::ios::binary);
    if (!file) throw std::runtime_error("cannot write " + path);
    return file;
}

std::string Number(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", value);
    // "-0.0000" and "0.0000" are the same number; one spelling keeps files alike.
    return std::string(text) == "-0.0000" ? "0.0000" : text;
}

}  // namespace

int Mesh::AddVertex(const Corner& corner) {
    mVertices.push_back(corner);
    return static_cast<int>(mVertices.size()) - 1;
}

void Mesh::UseMaterial(const std::string& name) {
    if (mGroups.empty() || mGroups.back().material != name) mGroups.push_back({name, {}});
}

void Mesh::AddFace(const std::vector<int>& corners) {
    std::vector<int> face = corners;
    const Vec3 a = mVertices[face[0]].pos;
    Vec3 normal = {0, 0, 0};
    for (const int i : face) {
        normal = {normal.x + mVertices[i].normal.x, normal.y + mVertices[i].normal.y, normal.z + mVertices[i].normal.z};
    }
    // In a left-handed frame (b - a) × (c - a) points towards the viewer for a clockwise triangle.
    Vec3 turn = Cross(Sub(mVertices[face[1]].pos, a), Sub(mVertices[face[2]].pos, a));
    if (face.size() == 4 && Dot(turn, turn) == 0.0f)
        turn = Cross(Sub(mVertices[face[2]].pos, a), Sub(mVertices[face[3]].pos, a));
    if (Dot(turn, normal) < 0.0f) std::reverse(face.begin(), face.end());
    mGroups.back().faces.push_back(face);
}

size_t Mesh::Triangles() const {
    size_t count = 0;
    for (const Group& group : mGroups) {
        for (const auto& face : group.faces) count += face.size() - 2;
    }
    return count;
}

void Mesh::Save(const std::string& dir, const std::string& modelDir, const std::string& name) const {
    std::ofstream file = Create(dir + "/" + name + ".obj");
    file << "# " << name << ": " << mVertices.size() << " vertices, " << Triangles()
         << " triangles; made by make-models\n";
    file << "mtllib " << modelDir << "/" << name << ".mtl\n";
    for (const Corner& c : mVertices)
        file << "v " << Number(c.pos.x) << " " << Number(c.pos.y) << " " << Number(c.pos.z) << "\n";
    for (const Corner& c : mVertices) file << "vt " << Number(c.u) << " " << Number(c.v) << "\n";
    for (const Corner& c : mVertices) {
        file << "vn " << Number(c.normal.x) << " " << Number(c.normal.y) << " " << Number(c.normal.z) << "\n";
    }
    for (const Group& group : mGroups) {
        file << "usemtl " << group.material << "\n";
        for (const auto& face : group.faces) {
            file << "f";
            for (const int i : face) file << " " << i + 1 << "/" << i + 1 << "/" << i + 1;
            file << "\n";
        }
    }
    if (!file) throw std::runtime_error("cannot write " + name + ".obj");
}

void SaveMaterials(const std::string& dir, const std::string& modelDir, const std::string& name,
                   const std::vector<Material>& materials) {
    std::ofstream file = Create(dir + "/" + name + ".mtl");
    for (const Material& m : materials) {
        file << "newmtl " << m.name << "\nKd 1.0 1.0 1.0\nmap_Kd " << modelDir << "/" << m.texture << "\n\n";
    }
    if (!file) throw std::runtime_error("cannot write " + name + ".mtl");
}

}  // namespace models
