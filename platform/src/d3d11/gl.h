// OpenGL 4.5 core entry points, linked directly (GL_GLEXT_PROTOTYPES is set for the platform library).
#pragma once
#include <GL/glcorearb.h>
