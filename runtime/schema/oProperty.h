#ifndef TALVOR_SCHEMA_OPROPERTY_H
#define TALVOR_SCHEMA_OPROPERTY_H

#include "schema/oMember.h"

// A data member. Its memory size is the type's, or the footprint of the
// embedded interface for an embedded object; a persistent property also gets
// its record slot.
class oProperty : public oMember {
public:
    oProperty(const char *name, types type, persistent pers, oInterface *embedded, unsigned long memoryOffset,
              unsigned long streamOffset);
};

#endif
