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
    for (OMB_AbstractDGNode* n : m_watchers) n->Unlink(this);
    for (OMB_AbstractDGNode* n : m_inputs) n->Unlink(this);
    if (m_source) m_source->Unlink(this);
}

void OMB_AbstractDGNode::Unlink(OMB_AbstractDGNode* other) {
    Remove(m_dependents, other);
    Remove(m_watchers, other);
    Remove(m_inputs, other);
    if (m_source == other) m_source = nullptr;
}

void OMB_AbstractDGNode::AddInput(OMB_AbstractDGNode* input) {
    m_inputs.push_back(input);
    input->m_dependents.push_back(this);
}

void OMB_AbstractDGNode::SetSource(OMB_AbstractDGNode* source) {
    m_source = source;
    source->m_dependents.push_back(this);
}

void OMB_AbstractDGNode::AddWatcher(OMB_AbstractDGNode* watcher) {
    m_watchers.push_back(watcher);
    watcher->m_inputs.push_back(this);
}

void MarkDirty(OMB_AbstractDGNode* node) {
    std::vector<OMB_AbstractDGNode*> stack{node};
    while (!stack.empty()) {
        OMB_AbstractDGNode* n = stack.back();
        stack.pop_back();
        for (auto* list : {&n->m_watchers, &n->m_dependents}) {
            for (auto it = list->rbegin(); it != list->rend(); ++it) {
                if ((*it)->m_dirty) continue;
                (*it)->m_dirty = 1;
                stack.push_back(*it);
            }
        }
    }
}

void Update(OMB_AbstractDGNode* node) {
    if (!node->m_dirty) return;
    if (node->m_source) {
        OMB_AbstractDGNode* source = node->m_source;
        Update(source);
        OMB_AbstractDGNode* first = source->m_inputs.empty() ? nullptr : source->m_inputs.front();
        node->UpdateFromSource(first);
        if (!first || !first->m_dirty) node->m_dirty = 0;
        return;
    }
    for (OMB_AbstractDGNode* input : node->m_inputs) Update(input);
    if (node->m_compute) node->m_compute();
    bool anyDirty = std::any_of(node->m_inputs.begin(), node->m_inputs.end(),
                                [](const OMB_AbstractDGNode* n) { return n->m_dirty != 0; });
    node->m_dirty = anyDirty ? 1 : 0;
}
