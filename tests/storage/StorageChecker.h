#ifndef TALVOR_TESTS_STORAGE_CHECKER_H
#define TALVOR_TESTS_STORAGE_CHECKER_H

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "storage/oStorage.h"

// Checks the structure of data segment 0 and every reference segment of a
// storage: records and holes tile the used area exactly, holes do not overlap,
// every live entry points at a record whose header names it, and the ghost
// stack holds exactly the deleted numbers, each once. Returns what is wrong,
// or the empty string.
inline std::string checkStorage(oStorage &storage, unsigned long refCount) {
    oDataSeg *data = storage.getData(0);
    unsigned long used, holeCount;
    data->getFull(used);
    data->getHoles(holeCount);
    std::vector<oDataSeg::Hole> holes;
    for (unsigned long i = 0; i < holeCount; ++i) {
        data->getHole(i);
        holes.push_back(data->hole());
    }
    std::sort(holes.begin(), holes.end(),
              [](const oDataSeg::Hole &a, const oDataSeg::Hole &b) { return a.position < b.position; });

    std::set<std::pair<unsigned long, unsigned long>> recordsSeen;
    unsigned long long pos = 0;
    std::size_t nextHole = 0;
    while (pos < used) {
        if (nextHole < holes.size() && holes[nextHole].position == pos) {
            if (holes[nextHole].size == 0) return "empty hole at " + std::to_string(pos);
            pos = holes[nextHole++].end();
            continue;
        }
        if (nextHole < holes.size() && holes[nextHole].position < pos) {
            return "hole at " + std::to_string(holes[nextHole].position) + " overlaps";
        }
        data->getRefPos(static_cast<unsigned long>(pos));
        oDataSeg::Header header = data->header();
        if (header.refSeg >= refCount) return "record at " + std::to_string(pos) + " names a missing segment";
        oRefSeg *ref = storage.getRef(header.refSeg);
        unsigned long count;
        ref->getFull(count);
        if (header.recordNo >= count) return "record at " + std::to_string(pos) + " names a missing number";
        ref->getRecord(header.recordNo);
        const oRefSeg::Entry &entry = ref->entry();
        if (entry.inUse == 0 || entry.position != pos || entry.size != header.size || entry.dataSeg != 0) {
            return "record at " + std::to_string(pos) + " is not the one its entry points at";
        }
        recordsSeen.insert({header.refSeg, header.recordNo});
        pos += oDataSeg::HEADER_SIZE + header.size;
    }
    if (pos != used) return "the last record crosses the used length";
    if (nextHole != holes.size()) return "a hole lies beyond the records";

    for (unsigned long r = 0; r < refCount; ++r) {
        oRefSeg *ref = storage.getRef(r);
        unsigned long count, ghostCount;
        ref->getFull(count);
        ref->getGhosts(ghostCount);
        std::set<unsigned long> deleted, ghosts;
        for (unsigned long n = 0; n < count; ++n) {
            ref->getRecord(n);
            const oRefSeg::Entry entry = ref->entry();
            if (entry.inUse == 0) {
                deleted.insert(n);
            } else if (entry.size != 0 && recordsSeen.count({r, n}) == 0) {
                return "entry " + std::to_string(n) + " points at no record";
            }
        }
        for (unsigned long i = 0; i < ghostCount; ++i) {
            ref->getGhost(i);
            if (!ghosts.insert(ref->ghost()).second) return "ghost " + std::to_string(ref->ghost()) + " twice";
        }
        if (ghosts != deleted) return "the ghost stack differs from the deleted entries";
    }
    return "";
}

#endif
