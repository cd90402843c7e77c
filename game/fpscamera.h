#pragma once
#include "basecamera.h"

// A freely steered camera: moves along its own axes and turns about them or the world's y axis.
class FPSCamera : public BaseCamera {
public:
    FPSCamera();
    FPSCamera(FXMVECTOR position, FXMVECTOR look, FXMVECTOR up);
    ~FPSCamera() override;

    void MoveAlongLook(float distance);
    void MoveAlongRight(float distance);
    void RotateAboutRight(float angle);
    void RotateAboutLook(float angle);
    void RotateAboutWorldY(float angle);
    void RotateAboutUp(float angle);
};
