#ifndef TALVOR_COMPILER_ODL_INPUTLANGUAGE_H
#define TALVOR_COMPILER_ODL_INPUTLANGUAGE_H

#include "InputLanguage.h"
#include "core/d_String.h"

class Node;

// The ODL front end: a recursive-descent recogniser that builds the syntax tree.
class ODL_InputLanguage : public InputLanguage {
public:
    Node *parse(const char *text) override;
    // length is the size of the loaded source: a NUL byte before it is
    // reported as a syntax error instead of silently ending the text.
    Node *parse(const char *text, unsigned long length);

    // The type recognisers; each returns the count matched at the start of
    // text and stores the match in out.
    static int checkLiteral(const char *text, d_String *out);
    static int checkUserType(const char *text, d_String *out);
    static int checkType(const char *text, d_String *out);
};

// One analyzer per construct. analyze reads from text at offset pos, advances
// pos past what it consumed and returns 0 when the construct was read, 1 when
// it is not there (white space it skipped stays consumed).
#define TALVOR_ODL_ANALYZER(name)                              \
    class name {                                               \
    public:                                                    \
        static int analyze(const char *text, int &pos, Node *parent); \
    }

TALVOR_ODL_ANALYZER(aStart);
TALVOR_ODL_ANALYZER(aInterface);
TALVOR_ODL_ANALYZER(aClass);
TALVOR_ODL_ANALYZER(aInheritance);
TALVOR_ODL_ANALYZER(aParameters);
TALVOR_ODL_ANALYZER(aAttribute);
TALVOR_ODL_ANALYZER(aRelationship);
TALVOR_ODL_ANALYZER(aMethod);
TALVOR_ODL_ANALYZER(aParameter);
TALVOR_ODL_ANALYZER(aCollection);

#undef TALVOR_ODL_ANALYZER

// Constructs outside the accepted language (raises clauses, comments, enums,
// unions, modules, structs); no rule calls them.
#define TALVOR_ODL_PLACEHOLDER(name)                              \
    class name {                                                  \
    public:                                                       \
        virtual ~name() {}                                        \
        virtual int analyze(const char *) { return 0; }           \
    }

TALVOR_ODL_PLACEHOLDER(aRaises);
TALVOR_ODL_PLACEHOLDER(aComment);
TALVOR_ODL_PLACEHOLDER(aEnum);
TALVOR_ODL_PLACEHOLDER(aUnion);
TALVOR_ODL_PLACEHOLDER(aModule);

#undef TALVOR_ODL_PLACEHOLDER

class aStruct {
public:
    static int analyze(const char *, int &, Node *) { return 2; }
};

#endif
