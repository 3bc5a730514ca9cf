#ifndef TALVOR_STORAGE_OSTORAGE_H
#define TALVOR_STORAGE_OSTORAGE_H

#include <cstdint>

#include "core/d_Binary.h"
#include "core/d_String.h"
#include "core/oArray.h"
#include "storage/oDataSeg.h"
#include "storage/oRefSeg.h"

class oDomain;
class d_Database;

// The record store of one open database: reference segments that give the
// records their numbers and data segments that hold their bytes. A record is
// addressed by a reference segment index and a record number. New records go
// to data segment 0; an existing record stays in the data segment its entry
// names. Not re-entrant: callers serialise all use of a storage.
class oStorage {
public:
    static const unsigned long GHOST_START = 0;
    static const unsigned long GHOST_STEP = 1024;
    static const unsigned long HOLE_START = 0;
    static const unsigned long HOLE_STEP = 1024;

    oStorage();
    ~oStorage();
    oStorage(const oStorage &) = delete;
    oStorage &operator=(const oStorage &) = delete;

    // False when the storage already has a name; opens no file.
    bool open(const char *name, oDomain *domain);
    bool create(const char *name, d_String dir, oDomain *domain, unsigned long, unsigned long, unsigned long,
                unsigned long);
    void close();

    void addRef(d_String base, unsigned long start, unsigned long step);
    void addData(d_String base, unsigned long start, unsigned long step);
    // Open the existing files of a segment and append it, as a database is loaded.
    void openRef(d_String base);
    void openData(d_String base);
    oRefSeg *getRef(unsigned long index) const;
    oDataSeg *getData(unsigned long index) const;

    void addRecord(unsigned long ref, unsigned long &number, d_Binary &data);
    void reservePos(unsigned long ref, unsigned long &number);
    void confirmPos(unsigned long ref, unsigned long number, d_Binary &data);
    void abortPos(unsigned long ref, unsigned long number);
    // False for a deleted or reserved number (bytes null); otherwise bytes is a
    // new block from oMemoryManager owned by the caller.
    bool getRecord(unsigned long ref, unsigned long number, unsigned long &size, char *&bytes) const;
    // The buffer is emptied first and then holds exactly the record's bytes.
    bool getRecord(unsigned long ref, unsigned long number, d_Binary &data) const;
    void setRecord(unsigned long ref, unsigned long number, d_Binary &data);
    void delRecord(unsigned long ref, unsigned long number);
    void countRecords(unsigned long ref, unsigned long &count) const;
    void countGhosts(unsigned long ref, unsigned long &count) const;

    // Raises the shutdown that a signal requested for the calling session.
    void checkForShutdown() const;

    // Reserved operations: segments are not removed, moved or resized yet.
    void delData() {}
    void moveData() {}
    void changeDataStep() {}
    void changeDataSpace() {}
    void delRef() {}
    void moveRef() {}
    void changeRefStep() {}
    void changeRefSpace() {}
    void checkLinks(unsigned long, const char *) {}
    void destroy() {}

    const d_String &getName() const { return name; }
    unsigned long getId() const { return databaseId; }
    unsigned long getOpenCount() const { return openCount; }
    oDomain *getDomain() const { return domain; }
    d_Database *getOwner() const { return owner; }
    void setOwner(d_Database *database) { owner = database; }

private:
    bool attach(const d_String &fullName, oDomain *newDomain);
    // Loads entry `number` and tells whether a record is stored for it: a
    // reserved number has none. An entry that points at a record which does
    // not name it is damage and raises instead of being followed.
    bool holdsRecord(unsigned long ref, unsigned long number) const;
    bool findStored(unsigned long ref, unsigned long number, oRefSeg::Entry &entry) const;
    // Writes data as a new record of data segment 0 for entry `number` and
    // points the loaded entry at it; nothing is left behind if that fails.
    unsigned long storeNew(unsigned long ref, unsigned long number, d_Binary &data);
    void releaseRecord(const oRefSeg::Entry &entry);
    void replace(unsigned long ref, unsigned long number, d_Binary &data);
    // Stores data for a taken number: the first record of a reserved number,
    // or the replacement of an existing one (confirm and set alike).
    void store(unsigned long ref, unsigned long number, d_Binary &data);
    // Frees a taken number and its record if it has one (delete and abort alike).
    void release(unsigned long ref, unsigned long number);

    d_String name;
    std::uint16_t openCount;
    std::uint8_t databaseId;
    oDomain *domain;
    d_Database *owner;
    oArray<oRefSeg *> refSegs;
    oArray<oDataSeg *> dataSegs;
};

#endif
