#include "ODL_InputLanguage.h"

#include <cstdlib>
#include <cstring>
#include <iostream>

#include "Node.h"
#include "NodesManager.h"
#include "ParseRule.h"

namespace {
const char IDENTIFIER_CHARS[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_";
const char *const LITERAL_TYPES[] = {"short",  "long",   "unsigned long", "unsigned short", "float",
                                     "double", "boolean", "octet",        "char",           "string",
                                     "date",   "timestamp", "time",       "interval",       "void"};
const char *const COLLECTION_KINDS[] = {"set", "list", "bag", "array", "dictionary"};
const char *const CLASS_PARAMETERS[] = {"extent", "start", "step"};
const char *const DIRECTIONS[] = {"inout", "out", "in"};

const char INVALID_SYNTAX[] = "Invalid Syntax";
const char MISSING_DIRECTION[] = "Missing words 'in' or 'out' or 'inout' or character ')'";

// Size of the source being parsed: the end of the text is the NUL at this offset.
unsigned long sourceLength = 0;

[[noreturn]] void fail(const char *text, int pos, const char *message) {
    ParseRule::error(text, pos, message, true);
    std::exit(1);  // error() does not return from a fatal error
}

void skipWhiteSpace(const char *text, int &pos) { pos += ParseRule::jump(text + pos, ParseRule::WHITE_SPACE); }

// The keyword at pos, matched as a prefix; consumed when present.
bool takeKeyword(const char *text, int &pos, const char *keyword) {
    int count = ParseRule::check(text + pos, ParseRule::EXACT, keyword, ParseRule::WHITE_SPACE, nullptr);
    pos += count;
    return count > 0;
}

// The first of the keywords present at pos, consumed; null when none is.
template <size_t N>
const char *takeOneOf(const char *text, int &pos, const char *const (&keywords)[N]) {
    for (const char *keyword : keywords) {
        if (takeKeyword(text, pos, keyword)) return keyword;
    }
    return nullptr;
}

void expect(const char *text, int &pos, const char *token, const char *message) {
    skipWhiteSpace(text, pos);
    if (!takeKeyword(text, pos, token)) fail(text, pos, message);
}

d_String readWith(int (*recogniser)(const char *, d_String *), const char *text, int &pos) {
    skipWhiteSpace(text, pos);
    d_String word;
    int count = recogniser(text + pos, &word);
    if (count == 0) fail(text, pos, INVALID_SYNTAX);
    pos += count;
    return word;
}

d_String readIdentifier(const char *text, int &pos) { return readWith(ODL_InputLanguage::checkUserType, text, pos); }

d_String readType(const char *text, int &pos) { return readWith(ODL_InputLanguage::checkType, text, pos); }

// An attribute, relationship or parameter: a collection type, or a plain type
// read by readPlain and stored as the node's next value.
void readTypeOrCollection(const char *text, int &pos, Node *node, d_String (*readPlain)(const char *, int &)) {
    if (aCollection::analyze(text, pos, node) != 0) node->addValue(readPlain(text, pos).c_str());
}

// "interface" and "class" declarations differ only in their keyword.
int analyzeDeclaration(const char *keyword, const char *text, int &pos, Node *parent) {
    pos = 0;
    if (!takeKeyword(text, pos, keyword)) return 1;
    Node *declaration = NodesManager::createNode(keyword, parent);
    declaration->addValue(readIdentifier(text, pos).c_str());
    aInheritance::analyze(text, pos, declaration);
    aParameters::analyze(text, pos, declaration);
    expect(text, pos, "{", "Missing character '{'");
    for (;;) {
        skipWhiteSpace(text, pos);
        if (text[pos] == '}') {
            ++pos;
            break;
        }
        if (aAttribute::analyze(text, pos, declaration) == 0) continue;
        if (aRelationship::analyze(text, pos, declaration) == 0) continue;
        if (aMethod::analyze(text, pos, declaration) == 0) continue;
        fail(text, pos, INVALID_SYNTAX);
    }
    expect(text, pos, ";", "Missing character ';'");
    return 0;
}
}  // namespace

Node *ODL_InputLanguage::parse(const char *text) { return parse(text, std::strlen(text)); }

Node *ODL_InputLanguage::parse(const char *text, unsigned long length) {
    sourceLength = length;
    ParseRule::countRow = 1;
    NodesManager::init();
    std::cout << "\nODL: Parsing input file..." << std::flush;
    Node *root = NodesManager::createNode("root", nullptr);
    int pos = 0;
    aStart::analyze(text, pos, root);
    std::cout << "done\n"
              << "  0 error(s) found.\n";
    return root;
}

int ODL_InputLanguage::checkLiteral(const char *text, d_String *out) {
    for (const char *literal : LITERAL_TYPES) {
        int count = ParseRule::check(text, ParseRule::EXACT, literal, ParseRule::WHITE_SPACE, out);
        if (count > 0) return count;
    }
    return 0;
}

int ODL_InputLanguage::checkUserType(const char *text, d_String *out) {
    return ParseRule::check(text, ParseRule::WHILE_IN, IDENTIFIER_CHARS, ParseRule::WHITE_SPACE, out);
}

int ODL_InputLanguage::checkType(const char *text, d_String *out) {
    int count = checkLiteral(text, out);
    return count > 0 ? count : checkUserType(text, out);
}

int aStart::analyze(const char *text, int &pos, Node *parent) {
    for (;;) {
        skipWhiteSpace(text, pos);
        int declarationEnd = 0;
        if (aInterface::analyze(text + pos, declarationEnd, parent) == 0 ||
            aClass::analyze(text + pos, declarationEnd, parent) == 0) {
            pos += declarationEnd;
            continue;
        }
        if (text[pos] == '\0' && static_cast<unsigned long>(pos) >= sourceLength) return 0;
        fail(text + pos, 0, "There aren't the words 'interface' or 'class'");
    }
}

int aInterface::analyze(const char *text, int &pos, Node *parent) {
    return analyzeDeclaration("interface", text, pos, parent);
}

int aClass::analyze(const char *text, int &pos, Node *parent) {
    return analyzeDeclaration("class", text, pos, parent);
}

int aInheritance::analyze(const char *text, int &pos, Node *parent) {
    skipWhiteSpace(text, pos);
    if (!takeKeyword(text, pos, "extends")) return 1;
    Node *base = NodesManager::createNode("extends", parent);
    base->addValue(readIdentifier(text, pos).c_str());
    return 0;
}

int aParameters::analyze(const char *text, int &pos, Node *parent) {
    skipWhiteSpace(text, pos);
    if (!takeKeyword(text, pos, "(")) return 1;
    for (;;) {
        skipWhiteSpace(text, pos);
        const char *keyword = takeOneOf(text, pos, CLASS_PARAMETERS);
        if (keyword == nullptr) fail(text, pos, INVALID_SYNTAX);
        Node *parameter = NodesManager::createNode(keyword, parent);
        parameter->addValue(readIdentifier(text, pos).c_str());
        skipWhiteSpace(text, pos);
        if (takeKeyword(text, pos, ",")) continue;
        if (takeKeyword(text, pos, ")")) return 0;
        fail(text, pos, "Missing character ')'");
    }
}

int aAttribute::analyze(const char *text, int &pos, Node *parent) {
    skipWhiteSpace(text, pos);
    if (!takeKeyword(text, pos, "attribute")) return 1;
    Node *attribute = NodesManager::createNode("attribute", parent);
    readTypeOrCollection(text, pos, attribute, readType);
    attribute->addValue(readIdentifier(text, pos).c_str());
    expect(text, pos, ";", "Missing character ';'");
    return 0;
}

int aRelationship::analyze(const char *text, int &pos, Node *parent) {
    skipWhiteSpace(text, pos);
    if (!takeKeyword(text, pos, "relationship")) return 1;
    Node *relationship = NodesManager::createNode("relationship", parent);
    // The target is a class: literal type names are not recognised here.
    readTypeOrCollection(text, pos, relationship, readIdentifier);
    relationship->addValue(readIdentifier(text, pos).c_str());
    skipWhiteSpace(text, pos);
    if (takeKeyword(text, pos, "inverse")) {
        relationship->addValue("inverse");
        relationship->addValue(readIdentifier(text, pos).c_str());
        expect(text, pos, "::", "Missing character '::'");
        relationship->addValue(readIdentifier(text, pos).c_str());
    }
    expect(text, pos, ";", "Missing character ';'");
    return 0;
}

int aMethod::analyze(const char *text, int &pos, Node *parent) {
    skipWhiteSpace(text, pos);
    d_String lookAhead;
    if (ODL_InputLanguage::checkType(text + pos, &lookAhead) == 0) return 1;
    Node *method = NodesManager::createNode("method", parent);
    method->addValue(readType(text, pos).c_str());
    method->addValue(readIdentifier(text, pos).c_str());
    aParameter::analyze(text, pos, method);
    expect(text, pos, ";", "Missing character ';'");
    return 0;
}

int aParameter::analyze(const char *text, int &pos, Node *parent) {
    expect(text, pos, "(", "Missing character '('");
    skipWhiteSpace(text, pos);
    if (takeKeyword(text, pos, ")")) return 0;
    for (;;) {
        skipWhiteSpace(text, pos);
        const char *direction = takeOneOf(text, pos, DIRECTIONS);
        if (direction == nullptr) fail(text, pos, MISSING_DIRECTION);
        Node *parameter = NodesManager::createNode("aParameter", parent);
        parameter->addValue(direction);
        readTypeOrCollection(text, pos, parameter, readType);
        parameter->addValue(readIdentifier(text, pos).c_str());
        skipWhiteSpace(text, pos);
        if (takeKeyword(text, pos, ",")) continue;
        if (takeKeyword(text, pos, ")")) return 0;
        fail(text, pos, "Missing character ')'");
    }
}

int aCollection::analyze(const char *text, int &pos, Node *parent) {
    skipWhiteSpace(text, pos);
    const char *kind = takeOneOf(text, pos, COLLECTION_KINDS);
    if (kind == nullptr) return 1;
    Node *collection = NodesManager::createNode("aCollection", parent);
    collection->addValue(kind);
    expect(text, pos, "<", "Missing character '<'");
    collection->addValue(readType(text, pos).c_str());
    if (std::strcmp(kind, "dictionary") == 0) {
        expect(text, pos, ",", "Missing character ','");
        collection->addValue(readType(text, pos).c_str());
    }
    expect(text, pos, ">", "Missing character '>'");
    return 0;
}
