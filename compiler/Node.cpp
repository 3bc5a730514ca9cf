#include "Node.h"

#include <iostream>

Node::Node(const char *nodeName) : name(nodeName) {}

void Node::addValue(const char *value) { values.push_back(d_String(value)); }

void Node::addSubNode(Node *child) { subNodes.push_back(child); }

void Node::display() const {
    std::cout << "\n::" << name << "\n";
    for (const d_String &value : values) std::cout << "  ." << value << "\n";
    for (const Node *child : subNodes) child->display();
}
