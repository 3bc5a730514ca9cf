#include "core/d_Error.h"

d_Error::d_Error() : detail(nullptr), kind(d_Error_None), message("") {}

d_Error::d_Error(long kind) : detail(nullptr), kind(kind), message(findDescription(kind)) {}

d_Error::d_Error(const d_Error &other)
    : std::exception(other), detail(nullptr), kind(other.kind), message(other.message) {}

d_Error::~d_Error() { delete detail; }

const char *d_Error::what() const noexcept { return message.c_str(); }

void d_Error::set_kind(long newKind) {
    kind = newKind;
    message = findDescription(newKind);
}

bool d_Error::contains(long wanted) const {
    for (const d_Error *link = this; link != nullptr; link = link->detail) {
        if (link->kind == wanted) return true;
    }
    return false;
}

d_Error &d_Error::operator<<(const d_String &text) {
    message += text;
    return *this;
}

d_Error &d_Error::operator<<(const char *text) {
    message += text;
    return *this;
}

d_Error &d_Error::operator<<(unsigned long number) {
    message += static_cast<long>(number);
    return *this;
}

d_Error &d_Error::operator<<(const d_Error &other) {
    message += other.message;
    return *this;
}

const char *d_Error::findDescription(long kind) {
    const d_ErrorDescription *entry = d_ErrorDescriptions;
    while (entry->kind != kind && entry->kind != d_Error_End) ++entry;
    return entry->text;
}
