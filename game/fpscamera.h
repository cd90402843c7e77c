#pragma once
#include "basecamera.h"
#include "orientationframe.h"

// A freely steered camera: moves along its own axes and turns about them or the world's y axis.
class FPSCamera : public BaseCamera, public Steering<FPSCamera> {
public:
    FPSCamera();
    FPSCamera(FXMVECTOR position, FXMVECTOR look, FXMVECTOR up);
    ~FPSCamera() override;

private:
    friend class Steering<FPSCamera>;
};
