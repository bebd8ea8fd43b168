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
    virtual ~OMB_AbstractDGNode();
    OMB_AbstractDGNode(const OMB_AbstractDGNode&) = delete;
    OMB_AbstractDGNode& operator=(const OMB_AbstractDGNode&) = delete;

    bool IsDirty() const { return m_dirty != 0; }
    void SetDirty(bool dirty) { m_dirty = dirty ? 1 : 0; }

    // Makes `input` an input of this node (this node becomes its dependent).
    void AddInput(OMB_AbstractDGNode* input);
    // A source node is updated first; this node then takes the source's first
    // input through UpdateFromSource.
    void SetSource(OMB_AbstractDGNode* source);
    // A dependent reached through the second list (kept apart for callers that
    // want listeners which are not inputs of anything).
    void AddWatcher(OMB_AbstractDGNode* watcher);
    void SetCompute(std::function<void()> compute) { m_compute = std::move(compute); }

    const std::vector<OMB_AbstractDGNode*>& Inputs() const { return m_inputs; }

protected:
    virtual void UpdateFromSource(OMB_AbstractDGNode* sourceInput) {}

private:
    friend void MarkDirty(OMB_AbstractDGNode* node);
    friend void Update(OMB_AbstractDGNode* node);
    void Unlink(OMB_AbstractDGNode* other);

    int m_dirty = 1;
    std::vector<OMB_AbstractDGNode*> m_dependents;
    OMB_AbstractDGNode* m_source = nullptr;
    std::vector<OMB_AbstractDGNode*> m_watchers;
    std::vector<OMB_AbstractDGNode*> m_inputs;
    std::function<void()> m_compute;
};

// Node without a value of its own.
class OMB_DGNodeX : public OMB_AbstractDGNode {};

// Node carrying a value (the model the graph is built on, a render context).
template <typename T>
class OMB_DGNode : public OMB_AbstractDGNode {
public:
    explicit OMB_DGNode(T value = T()) : m_value(value) {}
    T& Value() { return m_value; }
    const T& Value() const { return m_value; }

private:
    T m_value;
};

// Sets the flag of every clean node downstream of `node` (depth first). The
// node itself is left as it is.
void MarkDirty(OMB_AbstractDGNode* node);
// Brings a dirty node up to date; it stays dirty while an input stays dirty.
void Update(OMB_AbstractDGNode* node);
