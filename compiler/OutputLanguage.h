#ifndef TALVOR_COMPILER_OUTPUTLANGUAGE_H
#define TALVOR_COMPILER_OUTPUTLANGUAGE_H

// What the compiler produces from the syntax tree. Each generator has its own
// translate, since they need different arguments.
class OutputLanguage {
public:
    virtual ~OutputLanguage() {}
};

#endif
