#ifndef TALVOR_SCHEMA_OCLASS_H
#define TALVOR_SCHEMA_OCLASS_H

#include <cstdint>

#include "schema/oInterface.h"
#include "schema/oMethod.h"
#include "schema/oProperty.h"

// A class description. Members are laid out in the order they are added, at
// the offsets the compiler gives the members of the generated C++ class.
class oClass : public oInterface {
public:
    // Room for a virtual table pointer.
    static const unsigned long cVirtualClass;
    // Bytes every persistent object inherits from d_Object: the offset at
    // which the first member of a class derived from it starts.
    static const unsigned long cPersistentHeader;

    explicit oClass(const char *name);

    // Appends a property and lays it out. The embedded type name, when given,
    // reads "domain::interface".
    oProperty *addProperty(const char *name, oMember::types type, oMember::persistent pers,
                           d_String embeddedTypeName = d_String());
    oMethod *addMethod(const char *name, oMethod::function_t function);
    void addBase(oClass *base);
    void makePersistent();
    void setVirtual();

    void set_abstract() { abstract = 1; }
    bool is_abstract() const { return abstract != 0; }
    unsigned long get_embedded_members() const { return embeddedMembers; }

private:
    oInterface *resolveEmbedded(const d_String &embeddedTypeName, bool &named);

    std::uint8_t abstract;
    std::uint32_t embeddedMembers;
};

#endif
