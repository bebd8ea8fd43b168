// Dirty marking and updating of the change-propagation graph (OMB_DGNode.h).
// Both walks use explicit stacks or bounded graphs built by the program, never
// by input data.
#include "core/OMB_DGNode.h"

#include <algorithm>

namespace {
void Remove(std::vector<OMB_AbstractDGNode*>& list, OMB_AbstractDGNode* node) {
    list.erase(std::remove(list.begin(), list.end(), node), list.end());
}
}  // namespace

OMB_AbstractDGNode::~OMB_AbstractDGNode() {
    for (OMB_AbstractDGNode* n : m_dependents) n->Unlink(this);
    for (OMB_AbstractDGNode* n : m_inputs) n->Unlink(this);
}

void OMB_AbstractDGNode::Unlink(OMB_AbstractDGNode* other) {
    Remove(m_dependents, other);
    Remove(m_inputs, other);
}

void OMB_AbstractDGNode::AddInput(OMB_AbstractDGNode* input) {
    m_inputs.push_back(input);
    input->m_dependents.push_back(this);
}

void MarkDirty(OMB_AbstractDGNode* node) {
    std::vector<OMB_AbstractDGNode*> stack{node};
    while (!stack.empty()) {
        OMB_AbstractDGNode* n = stack.back();
        stack.pop_back();
        for (auto it = n->m_dependents.rbegin(); it != n->m_dependents.rend(); ++it) {
            if ((*it)->m_dirty) continue;
            (*it)->m_dirty = 1;
            stack.push_back(*it);
        }
    }
}

void Update(OMB_AbstractDGNode* node) {
    if (!node->m_dirty) return;
    for (OMB_AbstractDGNode* input : node->m_inputs) Update(input);
    if (node->m_compute) node->m_compute();
    bool anyDirty = std::any_of(node->m_inputs.begin(), node->m_inputs.end(),
                                [](const OMB_AbstractDGNode* n) { return n->m_dirty != 0; });
    node->m_dirty = anyDirty ? 1 : 0;
}
