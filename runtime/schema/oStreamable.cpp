#include "schema/oStreamable.h"

#include <cstring>


namespace {
const unsigned long kDescriptorSize = 8;

bool isContainerOrObject(oMember::types type) {
    return type == oMember::tArray || type == oMember::tVector || type == oMember::tObject;
}

// True when [offset, offset + length) lies inside a buffer of `size` bytes.
bool fits(unsigned long offset, unsigned long length, unsigned long size) {
    return offset <= size && length <= size - offset;
}
}  // namespace

void oStreamable::putU32(char *at, std::uint32_t number) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<char>((number >> (8 * i)) & 0xFF);
}

std::uint32_t oStreamable::getU32(const char *at) {
    std::uint32_t number = 0;
    for (int i = 3; i >= 0; --i) number = (number << 8) | static_cast<unsigned char>(at[i]);
    return number;
}

bool oStreamable::memberToStream(const char *object, d_Binary &out, oMember *member, bool) {
    if (member == nullptr || !member->isPersistent()) return true;
    oMember::types type = member->getType();
    const char *value = object + member->getMemoryOffset();
    d_Binary bytes;
    if (oMember::isFixedSlot(type)) {
        if (!typeToStream(value, bytes, type, nullptr)) return false;
        return out.set(bytes.data(), member->getStreamOffset(), bytes.getLength());
    }
    if (!oMember::isDescribed(type)) return true;  // tNone, tParam, tPointer: no bytes
    // An embedded object whose interface is unknown has no object to write
    // at its offset: it gets an empty value.
    bool known = type != oMember::tObject || member->getEmbeddedInterface() != nullptr;
    if (known && !typeToStream(value, bytes, type, member->getEmbeddedInterface())) return false;
    char descriptor[kDescriptorSize];
    putU32(descriptor, static_cast<std::uint32_t>(out.getLength()));
    putU32(descriptor + 4, known ? static_cast<std::uint32_t>(bytes.getLength()) : 0);
    if (!out.set(descriptor, member->getStreamOffset(), kDescriptorSize)) return false;
    return !known || out.set(bytes.data(), out.getLength(), bytes.getLength());
}

bool oStreamable::memberFromStream(char *object, d_Binary &in, oMember *member, bool) {
    if (member == nullptr || !member->isPersistent()) return true;
    oMember::types type = member->getType();
    char *value = object + member->getMemoryOffset();
    unsigned long slot = member->getStreamOffset();
    unsigned long size = in.getLength();
    if (oMember::isFixedSlot(type)) {
        if (!fits(slot, member->getStreamSize(), size)) return false;
        return typeFromStream(value, in.data() + slot, type, member->getStreamSize(), nullptr);
    }
    if (!oMember::isDescribed(type)) return true;
    if (!fits(slot, kDescriptorSize, size)) return false;
    unsigned long offset = getU32(in.data() + slot);
    unsigned long length = getU32(in.data() + slot + 4);
    if (!fits(offset, length, size)) return false;
    if (type == oMember::tObject && member->getEmbeddedInterface() == nullptr) return true;
    return typeFromStream(value, in.data() + offset, type, length, member->getEmbeddedInterface());
}

bool oStreamable::typeToStream(const char *value, d_Binary &out, oMember::types type, oInterface *iface) {
    out.clear();
    if (type == oMember::tRef) {
        // A reference to a new object gets its identifier before it is written.
        d_Ref_Any *reference = reinterpret_cast<d_Ref_Any *>(const_cast<char *>(value));
        reference->check_for_oid();
        const oObjectId &oid = reference->get_oid();
        // A null reference is written as eight zero bytes.
        static const oObjectId nullOid = {0, 0, 0, 0};
        return out.set(reinterpret_cast<const char *>(oid.isValid() ? &oid : &nullOid), 0, sizeof(oObjectId));
    }
    if (oMember::isFixedSlot(type)) return out.set(value, 0, oMember::getStreamSize(type));
    if (type == oMember::tString || type == oMember::tBinary) {
        const d_Binary *buffer = reinterpret_cast<const d_Binary *>(value);
        return out.set(buffer->data(), 0, buffer->getLength());
    }
    if (isContainerOrObject(type)) {
        oStreamable *streamable = reinterpret_cast<oStreamable *>(const_cast<char *>(value));
        d_Binary scratch;
        if (!streamable->toStream(scratch, iface)) return false;
        return out.set(scratch.data(), 0, scratch.getLength());
    }
    return true;
}

bool oStreamable::typeFromStream(char *value, const char *bytes, oMember::types type, unsigned long length,
                                 oInterface *iface) {
    if (type == oMember::tBoolean) {
        // Any non-zero byte is true; a bool must never hold another value.
        if (length < 1) return false;
        *reinterpret_cast<bool *>(value) = bytes[0] != 0;
        return true;
    }
    if (oMember::isFixedSlot(type)) {
        unsigned long slot = oMember::getStreamSize(type);
        if (length < slot) return false;
        std::memcpy(value, bytes, slot);
        return true;
    }
    if (type == oMember::tString) {
        // The text ends at the first NUL, which must lie inside the value.
        if (length == 0 || std::memchr(bytes, 0, length) == nullptr) return false;
        *reinterpret_cast<d_String *>(value) = bytes;
        return true;
    }
    if (type == oMember::tBinary) {
        d_Binary *buffer = reinterpret_cast<d_Binary *>(value);
        buffer->clear();
        return buffer->set(bytes, 0, length);
    }
    if (isContainerOrObject(type)) {
        d_Binary scratch(bytes, length);
        return reinterpret_cast<oStreamable *>(value)->fromStream(scratch, iface);
    }
    return true;
}
