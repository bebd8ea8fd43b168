// Frame forwarding of the editor's window (see MS_ViewWindowGL.h).
#include "app/MS_ViewWindowGL.h"

void MS_ViewWindowGL::Frame(const OS_FrameTime& time) {
    if (IsDestroyed()) return;
    m_client.OnFrame(time);
    SwapBuffers();
}
