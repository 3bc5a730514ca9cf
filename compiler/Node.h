#ifndef TALVOR_COMPILER_NODE_H
#define TALVOR_COMPILER_NODE_H

#include "core/d_String.h"
#include "core/oVector.h"

// One node of the ODL syntax tree: what it stands for, the words of the
// construct in reading order, and its children in creation order.
class Node {
public:
    explicit Node(const char *nodeName);

    void addValue(const char *value);
    void addSubNode(Node *child);
    // Debugging aid: prints the node and its subtree.
    void display() const;

    d_String name;
    oVector<d_String> values;
    oVector<Node *> subNodes;
};

#endif
