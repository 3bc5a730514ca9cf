// Compiles the generated database header on its own: it must bring in the
// client header and every class header in an order that compiles.
#include GENERATED_DATABASE_HEADER
