#pragma once
#include <xnamath.h>

// A position and an orientation frame (right = up × look) kept in an owner's own fields, with the owner's flag for
// its cached matrix: the free camera and a placed model keep them in different orders but set, move and turn them
// exactly alike, and every change sets the flag.
struct OrientationFrame {
    XMFLOAT3& position;
    XMFLOAT3& look;
    XMFLOAT3& up;
    XMFLOAT3& right;
    bool& dirty;

    void SetPosition(FXMVECTOR newPosition) const;
    void SetOrientation(FXMVECTOR newLook, FXMVECTOR newUp) const;
    void MoveAlong(const XMFLOAT3& axis, float distance) const;
    // Turns one vector about an axis of the frame, then recomputes the third as turned × axis, normalised.
    void TurnAbout(const XMFLOAT3& axis, XMFLOAT3& turned, XMFLOAT3& recomputed, float angle) const;
    void TurnAboutWorldY(float angle) const;
};

// The free camera's moves and turns, for an owner that lends its frame through Orientation().
template <class Owner>
class Steering {
public:
    void MoveAlongLook(float distance) {
        const OrientationFrame frame = Frame();
        frame.MoveAlong(frame.look, distance);
    }
    void MoveAlongRight(float distance) {
        const OrientationFrame frame = Frame();
        frame.MoveAlong(frame.right, distance);
    }
    void RotateAboutRight(float angle) {
        const OrientationFrame frame = Frame();
        frame.TurnAbout(frame.right, frame.look, frame.up, angle);
    }
    void RotateAboutLook(float angle) {
        const OrientationFrame frame = Frame();
        frame.TurnAbout(frame.look, frame.up, frame.right, angle);
    }
    void RotateAboutWorldY(float angle) { Frame().TurnAboutWorldY(angle); }
    void RotateAboutUp(float angle) {
        const OrientationFrame frame = Frame();
        frame.TurnAbout(frame.up, frame.right, frame.look, angle);
    }

private:
    OrientationFrame Frame() { return static_cast<Owner&>(*this).Orientation(); }
};
