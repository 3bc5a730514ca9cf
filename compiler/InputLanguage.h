#ifndef TALVOR_COMPILER_INPUTLANGUAGE_H
#define TALVOR_COMPILER_INPUTLANGUAGE_H

class Node;

// A source language that the compiler reads into a syntax tree.
class InputLanguage {
public:
    virtual ~InputLanguage() {}
    // Returns the root of the tree; a syntax error ends the process.
    virtual Node *parse(const char *text) = 0;
};

#endif
