#pragma once

// A clickable region of a screen picture: top-left corner and size in client pixels, y down.
struct ButtonRect {
    ButtonRect() : x(0.0f), y(0.0f), width(0.0f), height(0.0f) {}
    ButtonRect(float left, float top, float w, float h) : x(left), y(top), width(w), height(h) {}

    // Border lines do not count as inside.
    bool Contains(int pressX, int pressY) const {
        const float px = static_cast<float>(pressX);
        const float py = static_cast<float>(pressY);
        return px > x && px < x + width && py > y && py < y + height;
    }

    float x;
    float y;
    float width;
    float height;
};
