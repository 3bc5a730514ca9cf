#ifndef TALVOR_COMPILER_CPP_OUTPUTLANGUAGE_H
#define TALVOR_COMPILER_CPP_OUTPUTLANGUAGE_H

#include "OutputLanguage.h"
#include "core/d_String.h"

class Node;

// Writes the C++ class files of the syntax tree into the current directory:
// a header per class or interface, a source per class, and the database
// header that includes them all. Lines end with CR LF.
class CPP_OutputLanguage : public OutputLanguage {
public:
    virtual void translate(Node *root, const d_String &databaseName);

    static d_String translateLiteral(const d_String &type);

    void generateConstructors(Node *declaration, d_String &header, d_String &source);
    void generateDestructor(Node *declaration, d_String &header, d_String &source);
    void generateOperation(Node *method, const d_String &className, d_String &header, d_String &source);

    void setAttrVisibility(int visibility) { attrVisibility = visibility; }
    void setDll() { dll = true; }
    void setNoSources() { noSources = true; }
    void setNoHeaders() { noHeaders = true; }
    void setNoConstructors() { noConstructors = true; }
    void setNoDestructors() { noDestructors = true; }

private:
    void translateDeclaration(Node *declaration, const d_String &db, const d_String &banner,
                              d_String &databaseHeader);
    void appendMembers(Node *declaration, d_String &header, d_String &source);

    int attrVisibility = 0;  // 0 public, 1 protected, 2 private
    bool dll = false;        // recorded only: no generated text depends on it
    bool noSources = false;
    bool noHeaders = false;
    bool noConstructors = false;
    bool noDestructors = false;
    bool isInterface = false;
};

#endif
