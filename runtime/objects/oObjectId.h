#ifndef TALVOR_OBJECTS_OOBJECTID_H
#define TALVOR_OBJECTS_OOBJECTID_H

#include <cstdint>
#include <cstring>

#include "core/d_String.h"

// The 8-byte identity of a persistent object: valid byte, database id, class
// id and record number. Records hold these 8 bytes as they lie in memory, so
// the field order and widths are fixed on every target.
struct oObjectId {
    std::uint8_t valid;
    std::uint8_t database;
    std::uint16_t classId;
    std::uint32_t record;

    bool isValid() const { return valid != 0; }
    // "valid:database:class:record" in decimal, as error texts show it.
    d_String toString() const;
};

static_assert(sizeof(oObjectId) == 8, "an object identifier is 8 bytes on every target");

// Identifiers are ordered bytewise, as the cache keys its maps.
inline bool operator<(const oObjectId &a, const oObjectId &b) { return std::memcmp(&a, &b, sizeof a) < 0; }
inline bool operator==(const oObjectId &a, const oObjectId &b) { return std::memcmp(&a, &b, sizeof a) == 0; }
inline bool operator!=(const oObjectId &a, const oObjectId &b) { return !(a == b); }

#endif
