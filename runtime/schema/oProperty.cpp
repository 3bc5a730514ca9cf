#include "schema/oProperty.h"

#include "schema/oInterface.h"

oProperty::oProperty(const char *name, types type, persistent pers, oInterface *embedded,
                     unsigned long memoryOffset, unsigned long streamOffset)
    : oMember(0, name, type, pers) {
    mOffset = static_cast<std::uint32_t>(memoryOffset);
    mSize = static_cast<std::uint32_t>(embedded != nullptr && type == tObject ? embedded->getEmbeddedSize()
                                                                              : oMember::getMemorySize(type));
    if (pers == PERSISTENT) {
        pOffset = static_cast<std::uint32_t>(streamOffset);
        pSize = static_cast<std::uint32_t>(oMember::getStreamSize(type));
    }
    embInterface = embedded;
}
