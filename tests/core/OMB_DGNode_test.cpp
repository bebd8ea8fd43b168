// Dirty propagation and updating of the change-propagation graph, and the
// signal's call order.
#include "core/OMB_DGNode.h"

#include <gtest/gtest.h>

#include "core/OMB_Signal.h"

TEST(DGNode, MarkDirtyReachesEveryDependentOnce) {
    OMB_DGNodeX source, a, b, c;
    int computed = 0;
    a.AddInput(&source);
    b.AddInput(&a);
    c.AddInput(&a);
    c.AddInput(&b);
    c.SetCompute([&] { ++computed; });
    for (OMB_DGNodeX* n : {&source, &a, &b, &c}) Update(n);
    EXPECT_EQ(computed, 1);
    EXPECT_FALSE(c.IsDirty());
    MarkDirty(&source);
    EXPECT_FALSE(source.IsDirty());
    EXPECT_TRUE(a.IsDirty() && b.IsDirty() && c.IsDirty());
    Update(&c);
    EXPECT_EQ(computed, 2);
    EXPECT_FALSE(a.IsDirty() || b.IsDirty() || c.IsDirty());
}

TEST(DGNode, DestroyedNodesUnlinkThemselves) {
    OMB_DGNodeX top;
    {
        OMB_DGNodeX middle;
        top.AddInput(&middle);
    }
    Update(&top);  // a dirty input left behind would keep top dirty
    EXPECT_FALSE(top.IsDirty());
}

TEST(Signal, CallsInConnectionOrderAndDisconnectsByReceiver) {
    struct Listener {
        std::vector<int>* log;
        int id;
        void On(int kind, int value) { log->push_back(id * 100 + kind * 10 + value); }
    };
    std::vector<int> log;
    Listener a{&log, 1}, b{&log, 2};
    OMB_Signal2<int, int> signal;
    signal.Connect(&a, &Listener::On);
    signal.Connect(&b, &Listener::On);
    signal.Emit(3, 0);
    signal.Disconnect(&a);
    signal.Emit(1, 4);
    EXPECT_EQ(log, (std::vector<int>{130, 230, 214}));
}
