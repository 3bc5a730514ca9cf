#ifndef TALVOR_TKITE_H
#define TALVOR_TKITE_H

// The application binding of the Talvor object database. Applications and the
// class files written by schemac include this header only.

#include <cstdint>

// Basic types: the same width on every target.
typedef std::int32_t d_Long;
typedef std::uint32_t d_ULong;
typedef std::int16_t d_Short;
typedef std::uint16_t d_UShort;
typedef float d_Float;
typedef double d_Double;
typedef bool d_Boolean;
typedef std::uint8_t d_Octet;
typedef char d_Char;

#include "core/d_Binary.h"
#include "core/d_Error.h"
#include "core/d_String.h"
#include "objects/d_Object.h"
#include "objects/d_Ref.h"

#endif
