#include "objects/oObjectId.h"

d_String oObjectId::toString() const {
    d_String text(static_cast<unsigned long>(valid));
    text += ':';
    text += static_cast<unsigned long>(database);
    text += ':';
    text += static_cast<unsigned long>(classId);
    text += ':';
    text += static_cast<unsigned long>(record);
    return text;
}
