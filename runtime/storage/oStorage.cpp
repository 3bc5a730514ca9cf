#include "storage/oStorage.h"

#include <memory>

#include "core/d_Error.h"
#include "core/oMemoryManager.h"
#include "objects/d_Session.h"
#include "objects/oSessionManager.h"
#include "schema/oDomain.h"

namespace {
[[noreturn]] void throwRecordError(long kind, unsigned long ref, unsigned long number, const char *tail = ").") {
    d_Error *error = new d_Error(kind);
    *error << " (id=" << ref << " pos=" << number << tail;
    throw error;
}

// Hands a segment that is fully set up over to the list; until then the
// pointer owns it, so a failure anywhere on the way frees it.
template <class T>
void append(oArray<T *> &list, std::unique_ptr<T> segment) {
    if (!list.insert_i(segment.get(), list.getCount())) throw new d_Error(d_Error_OutOfMemory);
    segment.release();
}
}  // namespace

oStorage::oStorage()
    : name(""), openCount(0), databaseId(0), domain(nullptr), owner(nullptr), refSegs(10), dataSegs(10) {}

oStorage::~oStorage() { close(); }

bool oStorage::open(const char *newName, oDomain *newDomain) {
    return attach(d_String(newName), newDomain);
}

bool oStorage::create(const char *newName, d_String dir, oDomain *newDomain, unsigned long, unsigned long,
                      unsigned long, unsigned long) {
    return attach(dir + newName, newDomain);
}

// Names the storage and links it with the class domain of its database, both
// ways, so that a class can find where its objects are stored.
bool oStorage::attach(const d_String &fullName, oDomain *newDomain) {
    if (!name.empty()) return false;
    name = fullName;
    domain = newDomain;
    if (domain != nullptr) domain->setStorage(this);
    openCount = 1;
    return true;
}

void oStorage::close() {
    for (unsigned long i = 0; i < dataSegs.getCount(); ++i) delete dataSegs[i];
    while (dataSegs.getCount() != 0) dataSegs.remove(dataSegs.getCount() - 1);
    // Reference segment 0 holds the database's own dictionary: it goes last.
    while (refSegs.getCount() != 0) {
        delete refSegs[refSegs.getCount() - 1];
        refSegs.remove(refSegs.getCount() - 1);
    }
    openCount = 0;
}

void oStorage::addRef(d_String base, unsigned long start, unsigned long step) {
    checkForShutdown();
    std::unique_ptr<oRefSeg> segment(new oRefSeg());
    segment->create(base, start, step, GHOST_START, GHOST_STEP);
    append(refSegs, std::move(segment));
}

void oStorage::addData(d_String base, unsigned long start, unsigned long step) {
    // A pending shutdown is raised as itself, not as a failure to add the segment.
    checkForShutdown();
    try {
        std::unique_ptr<oDataSeg> segment(new oDataSeg(this));
        segment->create(base, start, step, HOLE_START, HOLE_STEP);
        append(dataSegs, std::move(segment));
    } catch (d_Error *cause) {
        d_Error *error = new d_Error(d_Error_DataSegmentAdd);
        *error << " <" << base << ">.";
        error->set_detail(cause);
        throw error;
    }
}

void oStorage::openRef(d_String base) {
    std::unique_ptr<oRefSeg> segment(new oRefSeg());
    segment->open(base);
    append(refSegs, std::move(segment));
}

void oStorage::openData(d_String base) {
    std::unique_ptr<oDataSeg> segment(new oDataSeg(this));
    segment->open(base);
    append(dataSegs, std::move(segment));
}

oRefSeg *oStorage::getRef(unsigned long index) const {
    if (index < refSegs.getCount()) return refSegs[index];
    d_Error *error = new d_Error(d_Error_RefSegmentNotFound);
    *error << "(ref=" << index << ").";
    throw error;
}

oDataSeg *oStorage::getData(unsigned long index) const {
    if (index < dataSegs.getCount()) return dataSegs[index];
    d_Error *error = new d_Error(d_Error_DataSegmentNotFound);
    *error << " (data=" << index << ").";
    throw error;
}

bool oStorage::holdsRecord(unsigned long ref, unsigned long number) const {
    oRefSeg *segment = getRef(ref);
    segment->getRecord(number);
    oRefSeg::Entry entry = segment->entry();
    if (entry.inUse == 0) return false;
    if (entry.size == 0) {
        // Reserved numbers and empty records both have size 0: only an empty
        // record has a header that names the number.
        if (entry.dataSeg >= dataSegs.getCount()) return false;
        oDataSeg *data = dataSegs[entry.dataSeg];
        unsigned long used;
        data->getFull(used);
        if (static_cast<unsigned long long>(entry.position) + oDataSeg::HEADER_SIZE > used) return false;
        data->getRefPos(entry.position);
        const oDataSeg::Header &header = data->header();
        return header.refSeg == ref && header.recordNo == number && header.size == 0;
    }
    oDataSeg *data = getData(entry.dataSeg);
    data->getRefPos(entry.position);
    const oDataSeg::Header &header = data->header();
    if (header.refSeg != ref || header.recordNo != number || header.size != entry.size) {
        throwRecordError(d_Error_RecordNotFound, ref, number, ") points at a record that does not name it.");
    }
    return true;
}

unsigned long oStorage::storeNew(unsigned long ref, unsigned long number, d_Binary &data) {
    oRefSeg *segment = getRef(ref);
    oDataSeg *records = getData(0);
    unsigned long pos;
    records->header() = {static_cast<std::uint32_t>(ref), static_cast<std::uint32_t>(number),
                         static_cast<std::uint32_t>(data.getLength())};
    records->addRecord(pos, data);
    segment->entry() = {1, 0, static_cast<std::uint32_t>(pos), static_cast<std::uint32_t>(data.getLength())};
    return pos;
}

void oStorage::releaseRecord(const oRefSeg::Entry &entry) {
    getData(entry.dataSeg)->delRecord(entry.position, entry.size);
}

void oStorage::addRecord(unsigned long ref, unsigned long &number, d_Binary &data) {
    checkForShutdown();
    oRefSeg *segment = getRef(ref);
    unsigned long pos = storeNew(ref, oRefSeg::NONE, data);
    try {
        segment->addRecord(number);
    } catch (d_Error *) {
        // The record has no number yet: give its space back.
        try {
            getData(0)->delRecord(pos, data.getLength());
        } catch (d_Error *ignored) {
            delete ignored;
        }
        throw;
    }
    getData(0)->setRefPos(pos, ref, number, data.getLength());
}

void oStorage::reservePos(unsigned long ref, unsigned long &number) {
    checkForShutdown();
    oRefSeg *segment = getRef(ref);
    segment->entry() = {1, 0, 0, 0};
    segment->addRecord(number);
}

void oStorage::confirmPos(unsigned long ref, unsigned long number, d_Binary &data) {
    checkForShutdown();
    store(ref, number, data);
}

void oStorage::abortPos(unsigned long ref, unsigned long number) {
    checkForShutdown();
    release(ref, number);
}

// The entry of a number that holds a non-empty record, checked against its
// record header; false for a free, reserved or empty number.
bool oStorage::findStored(unsigned long ref, unsigned long number, oRefSeg::Entry &entry) const {
    checkForShutdown();
    oRefSeg *segment = getRef(ref);
    segment->getRecord(number);
    if (segment->entry().inUse == 0 || segment->entry().size == 0) return false;
    holdsRecord(ref, number);
    entry = segment->entry();
    return true;
}

bool oStorage::getRecord(unsigned long ref, unsigned long number, unsigned long &size, char *&bytes) const {
    bytes = nullptr;
    size = 0;
    oRefSeg::Entry entry;
    if (!findStored(ref, number, entry)) return false;
    char *block = static_cast<char *>(oMemoryManager::alloc(entry.size, "oStorage::getRecord"));
    try {
        getData(entry.dataSeg)->getRecord(entry.position, entry.size, block);
    } catch (d_Error *) {
        oMemoryManager::free(block);
        throw;
    }
    size = entry.size;
    bytes = block;
    return true;
}

bool oStorage::getRecord(unsigned long ref, unsigned long number, d_Binary &data) const {
    data.clear();
    oRefSeg::Entry entry;
    if (!findStored(ref, number, entry)) return false;
    getData(entry.dataSeg)->getRecord(entry.position, entry.size, data);
    return true;
}

void oStorage::replace(unsigned long ref, unsigned long number, d_Binary &data) {
    oRefSeg *segment = getRef(ref);
    oRefSeg::Entry old = segment->entry();
    oDataSeg *records = getData(old.dataSeg);
    if (data.getLength() == old.size) {
        records->setRecord(old.position, data);
        return;
    }
    unsigned long pos;
    records->header() = {static_cast<std::uint32_t>(ref), static_cast<std::uint32_t>(number),
                         static_cast<std::uint32_t>(data.getLength())};
    records->addRecord(pos, data);
    segment->entry() = {1, old.dataSeg, static_cast<std::uint32_t>(pos),
                        static_cast<std::uint32_t>(data.getLength())};
    segment->setRecord(number);
    records->setRefPos(pos, ref, number, data.getLength());
    // Released only now, so that records it shifts (the new copy included)
    // are re-pointed through entries that are already current.
    records->delRecord(old.position, old.size);
}

void oStorage::setRecord(unsigned long ref, unsigned long number, d_Binary &data) {
    checkForShutdown();
    store(ref, number, data);
}

void oStorage::store(unsigned long ref, unsigned long number, d_Binary &data) {
    oRefSeg *segment = getRef(ref);
    segment->getRecord(number);
    if (segment->entry().inUse == 0) throwRecordError(d_Error_RecordDeleted, ref, number);
    if (holdsRecord(ref, number)) {
        replace(ref, number, data);
        return;
    }
    // A reserved number has no record yet: this stores its first one.
    unsigned long pos = storeNew(ref, number, data);
    segment->setRecord(number);
    getData(0)->setRefPos(pos, ref, number, data.getLength());
}

void oStorage::delRecord(unsigned long ref, unsigned long number) {
    checkForShutdown();
    release(ref, number);
}

void oStorage::release(unsigned long ref, unsigned long number) {
    oRefSeg *segment = getRef(ref);
    segment->getRecord(number);
    // A number pushed twice onto the ghost stack would be handed out twice.
    if (segment->entry().inUse == 0) throwRecordError(d_Error_RecordAlreadyDeleted, ref, number);
    if (holdsRecord(ref, number)) releaseRecord(segment->entry());
    segment->getRecord(number);  // the release used the entry buffer for the records it shifted
    segment->delRecord(number);
}

void oStorage::countRecords(unsigned long ref, unsigned long &count) const { getRef(ref)->getFull(count); }

void oStorage::countGhosts(unsigned long ref, unsigned long &count) const { getRef(ref)->getGhosts(count); }

void oStorage::checkForShutdown() const {
    oSessionManager *sessions = oSessionManager::getInstance();
    if (sessions == nullptr) return;
    d_Session *session = sessions->getActiveSession();
    if (session != nullptr) session->checkForShutdown();
}
