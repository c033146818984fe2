#pragma once
// The triangle meshes the vector renderer draws, in the layout they are embedded in the program:
// a vertex count, the vertices (x, y, z model units), a face count and the faces (three vertex
// indices each), every field a signed 32-bit integer with no padding between.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace vector {

struct Vertex {
    std::int32_t x;
    std::int32_t y;
    std::int32_t z;
};

// A face is drawn when i0, i1, i2 run clockwise on the screen (y growing downward).
struct Face {
    std::int32_t i0;
    std::int32_t i1;
    std::int32_t i2;
};

template <std::size_t VertexCount, std::size_t FaceCount>
struct VectorObject {
    std::int32_t vertexCount;
    std::array<Vertex, VertexCount> vertices;
    std::int32_t faceCount;
    std::array<Face, FaceCount> faces;
};

// The renderer's shared arrays hold this many vertices and visible faces.
inline constexpr std::size_t kMaxVertices = 2000;
inline constexpr std::size_t kMaxVisibleFaces = 1999;

// What the pipeline walks: a mesh within the renderer's capacity. Every face index must name
// one of the mesh's vertices.
struct Mesh {
    std::span<const Vertex> vertices;
    std::span<const Face> faces;
};

template <std::size_t VertexCount, std::size_t FaceCount>
constexpr Mesh meshOf(const VectorObject<VertexCount, FaceCount>& object) {
    static_assert(VertexCount <= kMaxVertices && FaceCount <= kMaxVisibleFaces,
                  "mesh exceeds the renderer's capacity");
    return {object.vertices, object.faces};
}

// For meshes built at run time (tests): anything past the capacity is left out.
constexpr Mesh boundedMesh(std::span<const Vertex> vertices, std::span<const Face> faces) {
    return {vertices.first(std::min(vertices.size(), kMaxVertices)),
            faces.first(std::min(faces.size(), kMaxVisibleFaces))};
}

// The mask of the first vector scene: one open surface with four boundary loops (68, 24, 13
// and 15 edges) whose front faces -y; vertex 360 is a spare at the origin used by no face.
extern const VectorObject<361, 604> objectA;
// The helical tube of the second vector scene: 39 rings of 12 vertices, closed by two fans.
extern const VectorObject<468, 932> objectB;

static_assert(sizeof(VectorObject<361, 604>) == 4 * (1 + 3 * 361 + 1 + 3 * 604),
              "the embedded layout has no padding");

}  // namespace vector
