#include "objects/d_Ref_Any.h"

#include <cstring>

#include "objects/d_Object.h"

d_Ref_Any::d_Ref_Any(d_Object *object) : oid{0, 0, 0, 0}, ptr(object) {
    if (object != nullptr) oid = object->get_oid();
}

// Assigning no object makes the reference null: keeping the old identifier
// would bring the previous object back on the next use and in the record.
d_Ref_Any &d_Ref_Any::operator=(d_Object *object) {
    if (object == nullptr) {
        clear();
        return *this;
    }
    ptr = object;
    oid = object->get_oid();
    return *this;
}

void d_Ref_Any::setOid(unsigned char valid, unsigned char database, unsigned short classId, unsigned long record) {
    oid.valid = valid;
    oid.database = database;
    oid.classId = classId;
    oid.record = static_cast<std::uint32_t>(record);
}

void d_Ref_Any::clear() {
    oid.valid = 0;
    ptr = nullptr;
}

void d_Ref_Any::refresh() {
    if (ptr != nullptr && ptr->get_oid().record != oid.record) oid.record = ptr->get_oid().record;
}

bool d_Ref_Any::check_for_oid() {
    if (ptr == nullptr) return false;
    refresh();
    if (ptr->getState() != d_Object::NEW) return false;
    if (!ptr->reserveIdentity()) return false;
    oid = ptr->get_oid();
    return true;
}

char *d_Ref_Any::dump() const {
    d_String text = oid.toString();
    char *copy = new char[text.length() + 1];
    std::memcpy(copy, text.c_str(), text.length() + 1);
    return copy;
}
