#pragma once

namespace BoundingBoxes {

// An axis-aligned box anchored at its lower-left corner, world units (y up).
struct BoundingBox {
    float x = 0.0f;
    float y = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
};

}  // namespace BoundingBoxes

// Which side of a box an actor struck; the side it was pushed out through.
enum ContactSide { Bottom = 0, Left = 1, Top = 2, Right = 3, None = 4 };
