// The editor window drawn into an offscreen GL context (SDL's offscreen
// driver on llvmpipe): panels that were shown and hidden leave no pixels
// behind, the resting pointer shows where a stroke would start, and the
// path tracer stops asking for frames at its target. A missing context
// fails the test.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "TK_AppTest.h"
#include "app/UI_RezWindow.h"
#include "app/UI_SceneView.h"
#include "render/TK_Snapshot.h"
#include "ui/UI_Box.h"
#include "ui/UI_Console.h"
#include "ui/UI_Option.h"

namespace {

constexpr int kW = 1280, kH = 800;

class EditorPicture : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(gl.Ok()) << gl.error;
        window = std::make_unique<UI_RezWindow>();
        window->SetDescriptionPath(std::string(TK_SOURCE_DIR) + "/config/editor.ui");
        window->EnableRendering();
        testing::internal::CaptureStdout();
        window->Broadcast(UI_Event::Broadcast(UI_EVENT_CREATE));
        window->Canvas().LoadFont((std::string(TK_SOURCE_DIR) + "/config/font.png").c_str());
        window->SetRect({0, 0, kW - 1, kH - 1});
        window->Root()->SetRect({0, 0, kW - 1, kH - 1});
        window->RefreshLayout();
        window->Broadcast(UI_Event::Broadcast(UI_EVENT_START));
        testing::internal::GetCapturedStdout();
    }
    void TearDown() override {
        if (window) window->Renderers().Shutdown();
        window.reset();
    }
    static UI_MouseState Centre(const OMB_Rect& r) {
        UI_MouseState m;
        m.valid = true;
        m.x = (r.x0 + r.x1) / 2;
        m.y = (r.y0 + r.y1) / 2;
        return m;
    }
    void Click(UI_View* view) {
        ASSERT_TRUE(view);
        UI_MouseState m = Centre(view->Rect());
        m.left = 1;
        window->HandleInputEvent(UI_Event::Mouse(UI_EVENT_LEFT_DOWN, m));
        m.left = 0;
        window->HandleInputEvent(UI_Event::Mouse(UI_EVENT_LEFT_UP, m));
    }
    Image Picture(const OMB_Rect& rect) {
        window->DrawFrame();
        Image image;
        EXPECT_TRUE(TK_ReadPixels(rect, false, image));
        return image;
    }

    TK_TestGLWindow gl{kW, kH};
    std::unique_ptr<UI_RezWindow> window;
};

TEST_F(EditorPicture, TracerRestsAtItsTargetAndShowsItsProgress) {
    TK_SceneRenderer_PT& tracer = window->Renderers().tracer;
    testing::internal::CaptureStdout();
    ASSERT_TRUE(window->Env().ExecuteText("", "set pt_image 64 48 | set pt 1"));
    testing::internal::GetCapturedStdout();
    tracer.SetRestartDelay(0);
    tracer.SetTargetOverride(3);
    int frames = 0;
    for (window->TakeRedrawRequest(); frames < 50; ++frames) {
        window->DrawFrame();
        if (!window->TakeRedrawRequest()) break;
    }
    EXPECT_LT(frames, 50) << "the editor keeps drawing after the target";
    EXPECT_EQ(tracer.Samples(), 3);
    const auto* status = UI_Cast<UI_StatusLine>(window->FindView("status", &UI_StatusLine::kClass));
    ASSERT_TRUE(status);
    EXPECT_EQ(status->RightText().rfind("3 / 3 samples", 0), 0u) << status->RightText();
    const std::string png = testing::TempDir() + "editor_render.png";
    EXPECT_TRUE(window->Snap("scene", png, false)) << "Save render writes the traced picture";
}

int RedPixels(const Image& image) {
    int count = 0;
    for (size_t i = 0; i + 2 < image.pixels.size(); i += 3)
        count += image.pixels[i] > 200 && image.pixels[i + 1] < 90 && image.pixels[i + 2] < 90;
    return count;
}

TEST_F(EditorPicture, HoverCursorMarksWhereTheCarvingBrushStarts) {
    const OMB_Rect scene = window->SceneView()->Rect();
    const int plain = RedPixels(Picture(scene));
    const UI_MouseState m = Centre(scene);
    window->HandleInputEvent(UI_Event::Mouse(UI_EVENT_MOUSE_MOVE, m));
    EXPECT_GT(RedPixels(Picture(scene)), plain + 20);
    window->HandleInputEvent(UI_Event::Mouse(UI_EVENT_MOUSE_LEAVE, m));
    EXPECT_EQ(RedPixels(Picture(scene)), plain);
}

TEST_F(EditorPicture, TabPagesLeaveNothingBehind) {
    UI_View* pages = window->FindView("page_edit", &UI_VBox::kClass);
    ASSERT_TRUE(pages);
    const OMB_Rect panel = pages->Rect();
    const Image before = Picture(panel);
    for (const char* tab : {"page_files", "page_render", "page_edit"}) {
        Click(window->FindView(tab, &UI_Option::kClass));
        Picture(panel);
    }
    EXPECT_TRUE(before.pixels == Picture(panel).pixels);
}

}  // namespace
