// Change-propagation nodes. Derived data (render caches and the like) hangs off
// a small dependency graph: a node is dirty until its compute function has run
// on clean inputs, and MarkDirty spreads dirtiness to everything downstream.
// Nodes never own each other; whoever builds the graph keeps the nodes alive
// and unlinks them (the destructor unlinks a node from its neighbours).
#pragma once

#include <functional>
#include <vector>

class OMB_AbstractDGNode {
public:
    OMB_AbstractDGNode() = default;
    ~OMB_AbstractDGNode();
    OMB_AbstractDGNode(const OMB_AbstractDGNode&) = delete;
    OMB_AbstractDGNode& operator=(const OMB_AbstractDGNode&) = delete;

    bool IsDirty() const { return m_dirty != 0; }
    void SetDirty(bool dirty) { m_dirty = dirty ? 1 : 0; }

    // Makes `input` an input of this node (this node becomes its dependent).
    void AddInput(OMB_AbstractDGNode* input);
    void SetCompute(std::function<void()> compute) { m_compute = std::move(compute); }

private:
    friend void MarkDirty(OMB_AbstractDGNode* node);
    friend void Update(OMB_AbstractDGNode* node);
    void Unlink(OMB_AbstractDGNode* other);

    int m_dirty = 1;
    std::vector<OMB_AbstractDGNode*> m_dependents;
    std::vector<OMB_AbstractDGNode*> m_inputs;
    std::function<void()> m_compute;
};

// A node of the graph; it carries no value of its own.
class OMB_DGNodeX : public OMB_AbstractDGNode {};

// Sets the flag of every clean node downstream of `node` (depth first). The
// node itself is left as it is.
void MarkDirty(OMB_AbstractDGNode* node);
// Brings a dirty node up to date; it stays dirty while an input stays dirty.
void Update(OMB_AbstractDGNode* node);
