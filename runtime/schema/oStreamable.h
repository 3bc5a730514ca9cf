#ifndef TALVOR_SCHEMA_OSTREAMABLE_H
#define TALVOR_SCHEMA_OSTREAMABLE_H

class d_Binary;
class oInterface;

// Anything that writes itself into a byte buffer and reads itself back, guided
// by the class description (`oInterface`) of the object being streamed.
class oStreamable {
public:
    virtual ~oStreamable() {}
    virtual bool toStream(d_Binary &out, oInterface *iface) = 0;
    virtual bool fromStream(d_Binary &in, oInterface *iface) = 0;
};

#endif
