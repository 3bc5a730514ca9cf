#ifndef TALVOR_CORE_D_ERROR_H
#define TALVOR_CORE_D_ERROR_H

#include <exception>

#include "core/d_Errorcodes.h"
#include "core/d_String.h"

// The one exception type of the runtime. Errors travel as pointers to heap
// objects (`throw new d_Error(kind)`); the handler that catches one owns it.
// A layer that reports a lower failure wraps it: the caught error becomes the
// `detail` of the new one, so one exception carries the whole cause chain.
class d_Error : public std::exception {
public:
    d_Error();
    explicit d_Error(long kind);
    // Copies kind and message; the copy has no detail, so no chain is shared.
    d_Error(const d_Error &other);
    d_Error &operator=(const d_Error &) = delete;
    ~d_Error() override;

    const char *what() const noexcept override;

    long get_kind() const { return kind; }
    // Replaces the whole message by the new kind's description.
    void set_kind(long newKind);
    d_Error *get_detail() const { return detail; }
    // Takes ownership of cause; a detail set earlier is not destroyed.
    void set_detail(d_Error *cause) { detail = cause; }
    // True when this error or any error down the chain has the kind.
    bool contains(long wanted) const;

    d_Error &operator<<(const d_String &text);
    d_Error &operator<<(const char *text);
    // Written as a signed long, as the message formats numbers.
    d_Error &operator<<(unsigned long number);
    d_Error &operator<<(const d_Error &other);

    static const char *findDescription(long kind);

private:
    d_Error *detail;
    long kind;
    d_String message;
};

#endif
