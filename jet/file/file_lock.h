#pragma once

#include <string>

namespace jet {

// The lock file Jet keeps beside a database it has open: same name, extension ".ldb".
std::string jetLockFilePath(const std::string& databasePath);

// The Jet lock file actually beside the database, found whatever the letter case of its name
// and of "ldb" ("QORBIRTH.LDB", "QorBirth.Ldb"); empty when there is none.
std::string findJetLockFile(const std::string& databasePath);

// Name of our own lock file beside a database.
std::string writerLockPath(const std::string& databasePath);

// Our own exclusive lock on a database: a lock file beside it, locked for as long as this object
// lives and removed when it is released. A second writer (another copy of the program, or a
// second connection in this one) is refused with Error(InUse). The lock file is created
// exclusively; one left by a killed run is taken over when it is a regular file, and anything
// else at its name (a link, FIFO, folder) is refused with Error(ForeignFile), never followed.
//
// On Windows the lock also holds the database itself open with a share mode that lets others
// read it but not write it, so a product cannot open it for writing while we work on it.
class WriterLock {
public:
    explicit WriterLock(const std::string& databasePath);
    ~WriterLock();
    WriterLock(const WriterLock&) = delete;
    WriterLock& operator=(const WriterLock&) = delete;

    // Lets go of the database's share-mode hold (Windows) so that a commit can rename the new
    // file over it, and takes it again afterwards; both do nothing elsewhere. Taking it again
    // never throws: the commit is done by then, and a writer that slipped in is seen by the
    // next connection's checks.
    void releaseDatabase();
    void holdDatabaseAgain();

private:
    std::string databasePath_;
    std::string lockPath_;
#ifdef _WIN32
    void* handle_ = nullptr;
    void* database_ = nullptr;
#else
    int fd_ = -1;
#endif
};

// Refuses (Error) a database that must not be written now: missing (Io), open in Access or a
// product (InUse: a Jet lock file beside it in any letter case; on POSIX systems also a record
// lock, classic or open-file-description, that another process holds anywhere on the file), or
// read-only, itself or its folder (ReadOnly).
void checkWritable(const std::string& databasePath);

}  // namespace jet
