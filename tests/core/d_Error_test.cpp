#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "core/d_Error.h"
#include "core/oMemoryManager.h"

namespace {

struct KindCase {
    long name;
    long number;
    const char *text;
};

// Every kind with its stored description, trailing blanks included.
const KindCase kKinds[] = {
    {d_Error_None, 0, "No errors"},
    {d_Error_DatabaseClassMismatch, 1000, "Local (client) class definition doesn't match to the server class definition"},
    {d_Error_DatabaseClassUndefined, 1001, "The class is not registered in the database schema"},
    {d_Error_DatabaseClosed, 1002, "The database has already been closed"},
    {d_Error_DatabaseOpen, 1003, "The database is already open"},
    {d_Error_DateInvalid, 1004, "The value of d_Date object is invalid"},
    {d_Error_ElementNotFound, 1005, "Element not found"},
    {d_Error_IteratorDifferentCollections, 1006, ""},
    {d_Error_IteratorExhausted, 1007, "The iterator is exhaused"},
    {d_Error_IteratorNotBackward, 1008, ""},
    {d_Error_MemberIsOfInvalidType, 1009, ""},
    {d_Error_MemberNotFound, 1010, ""},
    {d_Error_NameNotUnique, 1011, "The attemp to assign already used name to another object"},
    {d_Error_PositionOutOfRange, 1012, "Position out of range"},
    {d_Error_QueryParameterCountInvalid, 1013, "The parameter count doesn't match to the actual number of parameters in the queue"},
    {d_Error_QueryParameterTypeInvalid, 1014, "The parameter type doesn't match to the actual type of parameter in the queue"},
    {d_Error_RefInvalid, 1015, "The reference is invalid and the database cannot resolve it"},
    {d_Error_RefNull, 1016, "The reference is null"},
    {d_Error_TimeInvalid, 1017, "The value of d_Time object is invalid"},
    {d_Error_TimestampInvalid, 1018, "The value of d_Timestamp object is invalid"},
    {d_Error_TransactionNotOpen, 1019, "The transaction is not open"},
    {d_Error_TransactionOpen, 1020, "The transaction is already open"},
    {d_Error_TypeInvalid, 1021, "The type is invalid and cannot be safely converted to the requested type"},
    {d_Error_ManagerInit, 2000, "Cannot initialize the Talvor Manager"},
    {d_Error_SystemInterfaces, 2001, "Cannot register the system interfaces"},
    {d_Error_UserInterfaces, 2002, "Cannot register the user interfaces"},
    {d_Error_ObjectInvalidOid, 2100, "The object has an invalid oid (corrupted?)"},
    {d_Error_ObjectLockedExclusive, 2101, "The object is already locked in exclusive mode"},
    {d_Error_ObjectCreate, 2102, "Cannot create persistent object in database"},
    {d_Error_ObjectModify, 2103, "Cannot modify persistent object in database"},
    {d_Error_ObjectDelete, 2104, "Cannot delete persistent object in database"},
    {d_Error_ObjectLoad, 2105, "Cannot load persistent object in database"},
    {d_Error_ObjectReserve, 2106, "Cannot reserve space for persistent object in database"},
    {d_Error_ObjectConfirm, 2107, "Cannot confirm space for persistent object in database"},
    {d_Error_ExtentInvalid, 2200, "The extent is invalid"},
    {d_Error_FileNotFound, 2400, "File not found"},
    {d_Error_FilePath, 2401, "Error in segment path"},
    {d_Error_FileLocked, 2402, "File locked by another process"},
    {d_Error_FileUnknown, 2403, "Unknow error happened on file"},
    {d_Error_StringIndex, 2500, "Attempt to access to an element out of string"},
    {d_Error_DatabaseOpenFailed, 3100, "Cannot open the database"},
    {d_Error_DatabaseCloseFailed, 3101, "Cannot close the database"},
    {d_Error_DatabaseCreateFailed, 3102, "Cannot create the database"},
    {d_Error_DatabaseExists, 3103, "Database already exist"},
    {d_Error_DatabaseDomainNotFound, 3104, "Cannot found a classes domain for database"},
    {d_Error_DatabaseExtend, 3105, "Cannot extend the database"},
    {d_Error_DatabaseClassCreate, 3106, "Cannot create a class into the database"},
    {d_Error_DatabaseNotFound, 3107, "Database not found"},
    {d_Error_DatabasePath, 3108, "Error in database path"},
    {d_Error_DatabaseLocked, 3109, "Database locked by another process"},
    {d_Error_QuerySyntax, 3200, "Syntax error in query predicate"},
    {d_Error_OutOfMemory, 3300, "Cannot allocate memory"},
    {d_Error_TransactionCommit, 3400, "Error on transaction commit"},
    {d_Error_TransactionCheckpoint, 3401, "Error on transaction checkpoint"},
    {d_Error_SessionCreate, 3500, "Error on creating new session"},
    {d_Error_SessionNotFound, 3501, "Session not found"},
    {d_Error_SessionSingleThread, 3502, "Cannot create a new session because this is the single-thread version"},
    {d_Error_SessionDatabaseError, 3503, "Database error not caught in user session"},
    {d_Error_SessionException, 3504, "Exception not caught in user session"},
    {d_Error_TriggerBeforeNew, 3600, "Trigger d_beforeNew() returned false"},
    {d_Error_TriggerOnUpdate, 3601, "Trigger d_onUpdate() returned false"},
    {d_Error_TriggerBeforeUpdate, 3602, "Trigger d_beforeUpdate() returned false"},
    {d_Error_ThreadCreate, 3700, "Error on creating new thread"},
    {d_Error_NotInitialized, 3800, "The Talvor environment is not yet initialized"},
    {d_Error_ShutdownForced, 3801, "Shutdown forced due to catched signal"},
    {d_Error_SegmentOpen, 3900, "Cannot open the segment"},
    {d_Error_SegmentCreate, 3901, "Cannot create the segment"},
    {d_Error_SegmentExtend, 3902, "Cannot extend the segment"},
    {d_Error_SegmentNotExtendable, 3903, "The segment need to be extented, but is not configured as extendable"},
    {d_Error_SegmentShrink, 3904, "Cannot shrink the segment"},
    {d_Error_SegmentModify, 3905, "Cannot modify data in segment"},
    {d_Error_SegmentRange, 3906, "Attempt to access out of data range"},
    {d_Error_BlockMove, 4000, "Cannot move a data block"},
    {d_Error_RefSegmentNotFound, 4100, "Ref Segment not found "},
    {d_Error_DataSegmentNotFound, 4101, "Data Segment not found "},
    {d_Error_RecordNotFound, 4102, "Record not found"},
    {d_Error_RecordDeleted, 4103, "Record is deleted"},
    {d_Error_RecordAlreadyDeleted, 4104, "Record is already deleted"},
    {d_Error_RefSegmentAdd, 4105, "Cannot adding ref segment"},
    {d_Error_DataSegmentAdd, 4106, "Cannot adding data segment"},
    {d_Error_StorageNotFound, 4107, "Storage not found"},
    {d_Error_CacheNotFound, 4200, "Cannot found the requested object in cache "},
    {d_Error_CacheInsert, 4201, "Cannot insert object in cache "},
    {d_Error_CacheNotLocked, 4202, "Cannot update object in cache because the transaction doesn't locked it previously "},
    {d_Error_CacheLockConflict, 4203, "Cannot lock the object in cache because is used by other transactions "},
    {d_Error_CacheNotOwner, 4204, "Cannot release object in cache because the transaction in not the owner "},
    {d_Error_SignalAbort, 5000, "The application has caught a SIGABRT signal"},
    {d_Error_SignalBreak, 5001, "The application has caught a SIGBREAK signal"},
    {d_Error_SignalFpe, 5002, "The application has caught a SIGFPE signal"},
    {d_Error_SignalIll, 5003, "The application has caught a SIGILL signal"},
    {d_Error_SignalInt, 5004, "The application has caught a SIGINT signal"},
    {d_Error_SignalSegv, 5005, "The application has caught a SIGSEGV signal"},
    {d_Error_SignalTerm, 5006, "The application has caught a SIGTERM signal"},
    {d_Error_SignalUnhandled, 5007, "The application has caught a unhandled signal"},
    {d_Error_End, 5008, ""},
};

TEST(ErrorKinds, EveryKindHasItsNumberAndDescription) {
    for (const KindCase &c : kKinds) {
        SCOPED_TRACE(c.number);
        EXPECT_EQ(c.name, c.number);
        d_Error error(c.number);
        EXPECT_EQ(error.get_kind(), c.number);
        EXPECT_STREQ(error.what(), c.text);
        EXPECT_STREQ(d_Error::findDescription(c.number), c.text);
    }
}

TEST(ErrorKinds, UnknownKindsAndTheEndMarkerHaveNoText) {
    for (long kind : {1008L, 5008L, 1L, 999L, 4999L, 6000L, -1L}) {
        SCOPED_TRACE(kind);
        EXPECT_STREQ(d_Error(kind).what(), "");
    }
}

TEST(Error, DefaultHasKindZeroAndEmptyText) {
    d_Error error;
    EXPECT_EQ(error.get_kind(), 0);
    EXPECT_STREQ(error.what(), "");
    EXPECT_EQ(error.get_detail(), nullptr);
}

TEST(Error, FragmentsFollowTheDescriptionDirectly) {
    d_Error error(d_Error_ShutdownForced);
    error << " (signal code=" << 5004ul << ").";
    EXPECT_STREQ(error.what(), "Shutdown forced due to catched signal (signal code=5004).");
    error << "";
    EXPECT_STREQ(error.what(), "Shutdown forced due to catched signal (signal code=5004).");
    d_String path("/tmp/x");
    d_Error other(d_Error_FileNotFound);
    other << " (path=" << path << ")." << error;
    EXPECT_STREQ(other.what(),
                 "File not found (path=/tmp/x).Shutdown forced due to catched signal (signal code=5004).");
}

TEST(Error, NumbersAreWrittenAsSignedLong) {
    d_Error error(d_Error_None);
    error << static_cast<unsigned long>(-1);
    EXPECT_STREQ(error.what(), "No errors-1");
}

TEST(Error, SetKindDiscardsEarlierFragments) {
    d_Error error(d_Error_OutOfMemory);
    error << " (size=12).";
    error.set_kind(d_Error_CacheInsert);
    EXPECT_EQ(error.get_kind(), 4201);
    EXPECT_STREQ(error.what(), "Cannot insert object in cache ");
}

// Counts destructions so that the chain's ownership can be observed.
int destroyedLinks = 0;
struct CountedError : d_Error {
    explicit CountedError(long kind) : d_Error(kind) {}
    ~CountedError() override { ++destroyedLinks; }
};

TEST(Error, ChainIsSearchedAndOwnedFromTheTop) {
    destroyedLinks = 0;
    auto *top = new CountedError(d_Error_TransactionCommit);
    auto *middle = new CountedError(d_Error_ObjectCreate);
    auto *bottom = new CountedError(d_Error_SegmentExtend);
    middle->set_detail(bottom);
    top->set_detail(middle);
    EXPECT_TRUE(top->contains(d_Error_SegmentExtend));
    EXPECT_TRUE(top->contains(d_Error_TransactionCommit));
    EXPECT_FALSE(top->contains(d_Error_FileNotFound));
    EXPECT_FALSE(middle->contains(d_Error_TransactionCommit));
    EXPECT_EQ(top->get_detail()->get_detail(), bottom);
    delete top;
    EXPECT_EQ(destroyedLinks, 3);
}

TEST(Error, CopyTakesKindAndMessageButNoChain) {
    d_Error original(d_Error_RefNull);
    original << " (oid=1:2:3:4).";
    original.set_detail(new d_Error(d_Error_FileNotFound));
    d_Error copy(original);
    EXPECT_EQ(copy.get_kind(), d_Error_RefNull);
    EXPECT_STREQ(copy.what(), original.what());
    EXPECT_EQ(copy.get_detail(), nullptr);
}

TEST(Error, ThrownAsPointerAndCaughtAsPointer) {
    try {
        d_Error *error = new d_Error(d_Error_NotInitialized);
        throw error;
    } catch (d_Error *caught) {
        std::unique_ptr<d_Error> owned(caught);
        EXPECT_STREQ(owned->what(), "The Talvor environment is not yet initialized");
    }
}

TEST(MemoryManager, ExhaustedAllocatorRaisesOutOfMemoryWithTheSize) {
    const unsigned long huge = static_cast<unsigned long>(-1) - 4096;
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            void *block = attempt == 0 ? oMemoryManager::alloc(huge, "test")
                                       : oMemoryManager::realloc(nullptr, huge);
            oMemoryManager::free(block);
            FAIL() << "an impossible allocation succeeded";
        } catch (d_Error *caught) {
            std::unique_ptr<d_Error> owned(caught);
            EXPECT_EQ(owned->get_kind(), d_Error_OutOfMemory);
            // The real size, not its signed rendering (-4097).
            std::string expected = "Cannot allocate memory (size=" + std::to_string(huge) + ").";
            EXPECT_EQ(std::string(owned->what()), expected);
        }
    }
}

TEST(MemoryManager, FailedReallocLeavesTheOldBlock) {
    char *block = static_cast<char *>(oMemoryManager::alloc(4, "test"));
    std::memcpy(block, "abc", 4);
    try {
        oMemoryManager::realloc(block, static_cast<unsigned long>(-1) - 4096);
        FAIL();
    } catch (d_Error *caught) {
        delete caught;
    }
    EXPECT_STREQ(block, "abc");
    oMemoryManager::free(block);
}

TEST(MemoryManager, ReallocKeepsTheOldBytes) {
    char *block = static_cast<char *>(oMemoryManager::alloc(8, "test"));
    std::memcpy(block, "talvor!", 8);
    block = static_cast<char *>(oMemoryManager::realloc(block, 1 << 20));
    EXPECT_STREQ(block, "talvor!");
    oMemoryManager::free(block);
}

}  // namespace
