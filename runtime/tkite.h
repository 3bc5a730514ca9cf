#ifndef TALVOR_TKITE_H
#define TALVOR_TKITE_H

// The application binding of the Talvor object database. Applications and the
// class files written by schemac include this header only.

#include "core/d_Binary.h"
#include "core/d_Error.h"
#include "core/d_String.h"
#include "core/d_Types.h"
#include "objects/d_Object.h"
#include "objects/d_Ref.h"

#endif
