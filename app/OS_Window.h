// OS_Window: what a platform window can do, as the rest of the program sees
// it. The implementation is MS_Window on SDL2 (MS_WindowGL with an OpenGL
// context); nothing outside those two touches SDL. Coordinates are client
// pixels with the origin at the bottom left and y up.
#pragma once

class OS_Window {
public:
    virtual ~OS_Window() = default;
    virtual void SetTitle(const char* title) = 0;
    virtual void Move(int x, int y, int width, int height) = 0;
    virtual void ClientSize(int& width, int& height) const = 0;
    // Pointer in client coordinates (bottom-left origin).
    virtual void CursorPosition(int& x, int& y) const = 0;
    virtual void RequestRedraw() = 0;
    // Closes the window as if the user had.
    virtual void RequestClose() = 0;
};
