#ifndef TALVOR_CORE_D_TYPES_H
#define TALVOR_CORE_D_TYPES_H

#include <cstdint>

// Basic types of the binding: the same width on every target, so that records
// and generated classes agree between the 32- and 64-bit builds.
typedef std::int32_t d_Long;
typedef std::uint32_t d_ULong;
typedef std::int16_t d_Short;
typedef std::uint16_t d_UShort;
typedef float d_Float;
typedef double d_Double;
typedef bool d_Boolean;
typedef std::uint8_t d_Octet;
typedef char d_Char;

#endif
