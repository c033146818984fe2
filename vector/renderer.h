#pragma once
// The two vector-object renderers of the tunnel scenes. Each frame a scene sets the inputs
// named below and calls drawFrame (which reads core::buffers.mixPage and paints the object over
// what the scene already put in core::buffers.grainPage).
//
//   scene start: buildSineTable(); vectorX.init(); buildWobbleTable();
//   vectorA:     the scene writes angleX and angleY before each frame; angleZ stays 0.
//   vectorB:     turns about y by itself; the scene writes distanceOffset after each frame.
#include <cstdint>

#include "vector/transform.h"

namespace vector {

// The mask, posed by the scene, seen from a fixed distance of 800.0.
struct VectorRendererA {
    std::uint32_t angleX = 0;
    std::uint32_t angleY = 0;
    std::uint32_t angleZ = 0;

    // Angles to 4096, 8192, 0 (the mask faces the viewer); nothing else is reset.
    void init();
    void drawFrame();
    void drawFrame(const std::uint8_t* source, std::uint8_t* destination);
};

// The wobbling helical tube: angleY advances 128 per frame (one turn in 128 frames), and the
// eye stands at 800.0 + distanceOffset, kept within 250.0..1350.0.
struct VectorRendererB {
    std::uint32_t angleX = 0;
    std::uint32_t angleY = 0;
    std::uint32_t angleZ = 0;
    std::int32_t distanceOffset = 0;  // signed 16.16, written by the scene for the next frame
    std::int32_t wobbleIndex = 0;     // 0..999, carried across frames and scenes, never reset

    // Angles to 4096, 0, 0; distanceOffset and wobbleIndex keep their values.
    void init();
    void drawFrame();
    void drawFrame(const std::uint8_t* source, std::uint8_t* destination);
};

// The show's two renderers are vector::state.vectorA and vectorB (vector/state.h).

// The eye distances vectorB accepts (16.16). The scene's offset of +-550.0 spans exactly this;
// beyond it the tube would reach the eye and the projection would divide by zero or overflow.
inline constexpr std::int32_t kNearestViewDistance = 250 * 65536;
inline constexpr std::int32_t kFarthestViewDistance = 1350 * 65536;

// The stages after the transform, common to both renderers.
void renderMesh(const Mesh& mesh, const std::uint8_t* source, std::uint8_t* destination);

}  // namespace vector
