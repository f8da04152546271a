#pragma once

#include <string>

namespace jet {

// The lock file Jet keeps beside a database it has open: same name, extension ".ldb".
std::string jetLockFilePath(const std::string& databasePath);

// Name of our own lock file beside a database.
std::string writerLockPath(const std::string& databasePath);

// Our own exclusive lock on a database: a lock file beside it, locked for as long as this object
// lives and removed when it is released. A second writer (another copy of the program, or a
// second connection in this one) is refused with Error(InUse).
class WriterLock {
public:
    explicit WriterLock(const std::string& databasePath);
    ~WriterLock();
    WriterLock(const WriterLock&) = delete;
    WriterLock& operator=(const WriterLock&) = delete;

private:
    std::string lockPath_;
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int fd_ = -1;
#endif
};

// Refuses (Error) a database that must not be written now: missing (Io), open in Access or a
// product (a Jet lock file beside it: InUse), or read-only, itself or its folder (ReadOnly).
void checkWritable(const std::string& databasePath);

}  // namespace jet
