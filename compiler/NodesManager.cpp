#include "NodesManager.h"

#include <memory>
#include <vector>

#include "Node.h"

Node *NodesManager::root = nullptr;
Node *NodesManager::last = nullptr;

namespace {
// Owns every node ever created; they are released when the process ends.
std::vector<std::unique_ptr<Node>> &allNodes() {
    static std::vector<std::unique_ptr<Node>> nodes;
    return nodes;
}
}  // namespace

Node *NodesManager::createNode(const char *name, Node *parent) {
    allNodes().emplace_back(new Node(name));
    Node *node = allNodes().back().get();
    if (root == nullptr) root = node;
    if (parent != nullptr) parent->addSubNode(node);
    return node;
}

Node *NodesManager::searchNode(const char *value, const char *name, Node *parent) {
    for (Node *child : parent->subNodes) {
        if (child->name == name && !child->values.empty() && child->values[0] == value) return child;
    }
    return nullptr;
}

void NodesManager::init() {
    root = nullptr;
    last = nullptr;
}

void NodesManager::deinit() {}
