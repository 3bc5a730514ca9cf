#ifndef TALVOR_SCHEMA_ODYNAOBJECT_H
#define TALVOR_SCHEMA_ODYNAOBJECT_H

#include "core/d_String.h"
#include "schema/oMember.h"

class oDomain;
class oInterface;

// A run-time type description built from the encoded type name that the
// compiler's type information gives (typeid(T).name()): the member type, and
// for an embedded object the interface that describes it.
class oDynaObject {
public:
    oDynaObject() : type(oMember::tNone), iface(nullptr) {}
    oDynaObject(const char *encodedName, oDomain *domain);

    void assign(const char *encodedName, oDomain *domain);
    // The plain name of an encoded name: the length-prefixed first name,
    // after an optional leading 't' ("8d_String" -> "d_String",
    // "5d_RefI8CustomerE" and "t5d_Ref1Z8Customer" -> "d_Ref"); empty for
    // pointers and built-in types ("P6oQItem", "i").
    static void getClearTypeName(const char *encodedName, d_String &plainName);

    // The domain of an interface, null for none: the domain in which the
    // element types of a container streamed with that interface are found.
    static oDomain *domainOf(const oInterface *iface);

    oMember::types getType() const { return type; }
    oInterface *getInterface() const { return iface; }

private:
    oMember::types type;
    oInterface *iface;
};

#endif
