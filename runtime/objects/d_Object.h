#ifndef TALVOR_OBJECTS_D_OBJECT_H
#define TALVOR_OBJECTS_D_OBJECT_H

#include <cstdint>

#include "objects/oObjectId.h"
#include "schema/oStreamable.h"

class d_Binary;
class d_Transaction;
class oInterface;

// Base of every persistent class. The header carries the object's identity,
// its life-cycle state, the transaction holding it and its class; the class
// description says where the members of the derived class lie, which is how
// the object writes itself into a record and reads itself back.
class d_Object : public oStreamable {
public:
    enum states { TRANSIENT = 0, CLEAN = 1, NEW = 2, STORED = 3, RESERVED = 4, MODIFIED = 5 };

    d_Object();
    ~d_Object() override {}

    // Writes the record of this object as an instance of iface (its own
    // class when null): the bases' members first, then iface's own.
    bool toStream(d_Binary &out, oInterface *iface) override;
    // Fills the persistent members from a record read as an instance of iface
    // (own class when null), then runs d_activate() for that class level.
    // False, with nothing read outside the buffer, for a record that does not
    // fit the class.
    bool fromStream(d_Binary &in, oInterface *iface) override;

    // Hooks of the persistent classes.
    virtual void d_activate() {}
    virtual void d_deactivate() {}
    virtual bool d_beforeNew() { return true; }
    virtual bool d_onUpdate() { return true; }
    virtual bool d_beforeUpdate() { return true; }

    // Gives a new object a record number so that a reference to it can be
    // written before the object itself is stored. Needs the object manager;
    // without it nothing can be reserved and the result is false.
    bool reserveIdentity();

    oObjectId &get_oid() { return oid; }
    const oObjectId &get_oid() const { return oid; }
    states getState() const { return static_cast<states>(state); }
    void setState(states value) { state = static_cast<std::uint8_t>(value); }
    bool is_reserved() const { return state == RESERVED; }
    bool is_new() const { return isNew; }
    void setNew(bool value) { isNew = value; }
    d_Transaction *getTransaction() const { return transaction; }
    void setTransaction(d_Transaction *value) { transaction = value; }
    d_Binary *getImage() const { return image; }
    void setImage(d_Binary *value) { image = value; }
    oInterface *getInterface() const { return interface; }
    void setInterface(oInterface *value) { interface = value; }
    bool is_pinned() const { return pinned; }
    void pin() { pinned = true; }
    void unpin() { pinned = false; }

protected:
    std::uint8_t state;
    bool isNew;
    d_Transaction *transaction;
    d_Binary *image;
    oInterface *interface;
    bool pinned;
    oObjectId oid;
};

#endif
