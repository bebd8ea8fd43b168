// The offscreen OpenGL context of the drawing tests, shared with the
// renderer's tests.
#include "../render/TK_GLTest_support.cpp"
