#include "schema/oMethod.h"

oMethod::oMethod(const char *name, function_t function) : oMember(1, name, tNone, TRANSIENT), function(function) {}
