#ifndef TALVOR_OBJECTS_D_REF_ANY_H
#define TALVOR_OBJECTS_D_REF_ANY_H

#include "objects/oObjectId.h"

class d_Object;

// A persistent reference: the identifier of the referenced object, which is
// what records store (the first 8 bytes), and the object in memory once it is
// known. References are plain values; destroying one never touches its object.
class d_Ref_Any {
public:
    d_Ref_Any() : oid{0, 0, 0, 0}, ptr(nullptr) {}
    d_Ref_Any(const oObjectId &id) : oid(id), ptr(nullptr) {}
    d_Ref_Any(d_Object *object);
    d_Ref_Any(const d_Ref_Any &) = default;
    d_Ref_Any &operator=(const d_Ref_Any &) = default;
    d_Ref_Any &operator=(d_Object *object);

    void setOid(unsigned char valid, unsigned char database, unsigned short classId, unsigned long record);
    const oObjectId &get_oid() const { return oid; }
    bool is_null() const { return !oid.isValid(); }
    d_Object *get_pointer() const { return ptr; }
    void clear();
    // Takes the record number of the object in memory once it received one.
    void refresh();
    // Makes sure a reference to a new object carries an identifier before it
    // is written: reserves a record number for it. True only when it did.
    bool check_for_oid();
    // The identifier text "valid:database:class:record" in a new buffer that
    // the caller releases with delete[].
    char *dump() const;

protected:
    oObjectId oid;
    d_Object *ptr;
};

#endif
