#ifndef TALVOR_COMPILER_NODESMANAGER_H
#define TALVOR_COMPILER_NODESMANAGER_H

class Node;

// Creates the nodes of the syntax tree and remembers the first one as the root.
// Every node stays alive until the process ends, so the generators can walk
// the tree without owning it.
class NodesManager {
public:
    static Node *root;
    static Node *last;

    static Node *createNode(const char *name, Node *parent);
    // The first child of parent with this name whose first value is value.
    static Node *searchNode(const char *value, const char *name, Node *parent);
    static void init();
    static void deinit();
};

#endif
