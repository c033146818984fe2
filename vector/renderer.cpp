#include "vector/renderer.h"

#include <algorithm>

#include "core/buffers.h"
#include "vector/fill.h"
#include "vector/state.h"

namespace vector {

void renderMesh(const Mesh& mesh, const std::uint8_t* source, std::uint8_t* destination) {
    cullFaces(mesh);
    sortFaces();
    computeNormals();
    drawFaces(source, destination);
}

void VectorRendererA::init() {
    angleX = 4096;
    angleY = 8192;
    angleZ = 0;
}

void VectorRendererA::drawFrame(const std::uint8_t* source, std::uint8_t* destination) {
    angleX = resetAngle(angleX);
    angleY = resetAngle(angleY);
    angleZ = resetAngle(angleZ);
    constexpr Mesh mesh = meshOf(objectA);
    transformVertices(mesh, rotationFor(angleX, angleY, angleZ), kBaseViewDistance, nullptr);
    renderMesh(mesh, source, destination);
}

void VectorRendererA::drawFrame() {
    drawFrame(core::buffers.mixPage, core::buffers.grainPage);
}

void VectorRendererB::init() {
    angleX = 4096;
    angleY = 0;
    angleZ = 0;
}

void VectorRendererB::drawFrame(const std::uint8_t* source, std::uint8_t* destination) {
    angleX = resetAngle(angleX);
    angleY = resetAngle(angleY + 128);
    angleZ = resetAngle(angleZ);
    const std::int64_t distance =
        std::clamp<std::int64_t>(std::int64_t{kBaseViewDistance} + distanceOffset,
                                 kNearestViewDistance, kFarthestViewDistance);
    constexpr Mesh mesh = meshOf(objectB);
    transformVertices(mesh, rotationFor(angleX, angleY, angleZ),
                      static_cast<std::int32_t>(distance), &wobbleIndex);
    renderMesh(mesh, source, destination);
}

void VectorRendererB::drawFrame() {
    drawFrame(core::buffers.mixPage, core::buffers.grainPage);
}

}  // namespace vector
