#include "fpscamera.h"

FPSCamera::FPSCamera() = default;
FPSCamera::FPSCamera(FXMVECTOR position, FXMVECTOR look, FXMVECTOR up) : BaseCamera(position, look, up) {}
FPSCamera::~FPSCamera() = default;
