#ifndef TALVOR_SCHEMA_OSTREAMABLE_H
#define TALVOR_SCHEMA_OSTREAMABLE_H

#include <cstdint>
#include <type_traits>

#include "core/d_Binary.h"
#include "core/d_String.h"
#include "objects/d_Ref_Any.h"
#include "schema/oDynaObject.h"
#include "schema/oMember.h"

class oInterface;

// Anything that writes itself into a byte buffer and reads itself back, guided
// by the class description of the object being streamed, together with the
// member and value encoders that every streamable type shares.
//
// A record is a fixed part of one slot per persistent member (values of the
// fixed-size types and reference identifiers in place, an offset/length
// descriptor for the others) followed by the variable bytes the descriptors
// point to. Numbers are little-endian.
class oStreamable {
public:
    virtual ~oStreamable() {}
    virtual bool toStream(d_Binary &out, oInterface *iface) = 0;
    virtual bool fromStream(d_Binary &in, oInterface *iface) = 0;

    // Writes one member of the object at `object` into its slot of `out`
    // (and its value bytes at the end of `out`). Transient members and
    // methods are skipped. The flag has no effect.
    static bool memberToStream(const char *object, d_Binary &out, oMember *member, bool flag);
    // Reads one member from the record in `in` into the object at `object`;
    // false when its slot or value lies outside the record or is malformed.
    static bool memberFromStream(char *object, d_Binary &in, oMember *member, bool flag);
    // Empties `out`, then puts the bytes of the value of `type` at `value`.
    static bool typeToStream(const char *value, d_Binary &out, oMember::types type, oInterface *iface);
    // Decodes a value of `type` from `length` bytes into the value at `value`.
    static bool typeFromStream(char *value, const char *bytes, oMember::types type, unsigned long length,
                               oInterface *iface);

    // Little-endian 32-bit numbers inside records and element sequences.
    static void putU32(char *at, std::uint32_t number);
    static std::uint32_t getU32(const char *at);

    // Element sequences of the containers: per element a 32-bit length and
    // that many bytes, encoded as the element type description says. Only
    // elements whose C++ type fits the described type are streamed (strings,
    // binaries, references, streamable objects); anything else, pointers
    // included, makes the operation fail instead of misreading memory.
    template <class E>
    static bool canStreamElement(oMember::types type) {
        if (type == oMember::tString) return std::is_base_of<d_String, E>::value;
        if (type == oMember::tBinary) return std::is_base_of<d_Binary, E>::value;
        if (type == oMember::tRef) return std::is_base_of<d_Ref_Any, E>::value;
        if (type == oMember::tArray || type == oMember::tVector || type == oMember::tObject)
            return std::is_base_of<oStreamable, E>::value;
        return false;
    }

    template <class E>
    static bool appendElement(const E &element, d_Binary &out, const oDynaObject &description) {
        if (!canStreamElement<E>(description.getType())) return false;
        d_Binary bytes;
        if (!typeToStream(reinterpret_cast<const char *>(&element), bytes, description.getType(), nullptr))
            return false;
        char length[4];
        putU32(length, static_cast<std::uint32_t>(bytes.getLength()));
        return out.set(length, out.getLength(), 4) && out.set(bytes.data(), out.getLength(), bytes.getLength());
    }

    // Walks the element sequence in `in`, decoding each element into a fresh
    // E handed to `append` (false when it cannot take it). False for a sequence that overruns the buffer or
    // an element that does not decode.
    template <class E, class Append>
    static bool readElements(d_Binary &in, const oDynaObject &description, oInterface *iface, Append append) {
        if constexpr (!std::is_default_constructible<E>::value) {
            return in.getLength() == 0;
        } else {
            unsigned long size = in.getLength();
            unsigned long at = 0;
            while (at < size) {
                if (size - at < 4 || !canStreamElement<E>(description.getType())) return false;
                unsigned long length = getU32(in.data() + at);
                if (length > size - at - 4) return false;
                E element{};
                if (!typeFromStream(reinterpret_cast<char *>(&element), in.data() + at + 4, description.getType(),
                                    length, iface))
                    return false;
                if (!append(element)) return false;
                at += 4 + length;
            }
            return true;
        }
    }
};

#endif
