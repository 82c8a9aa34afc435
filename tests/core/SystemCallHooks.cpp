#include "SystemCallHooks.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>

namespace {

std::int64_t fstatExtra = 0;
bool countFstats = false;
int fstats = 0;
bool interruptPreads = false;
bool nextPreadInterrupted = true;
int preadInterruptions = 0;

}  // namespace

// The system's own calls are reached through fstatat and preadv, which these do not replace.
extern "C" int fstat(int fd, struct stat* buf) __THROW {
    if (countFstats) ++fstats;
    const int result = ::fstatat(fd, "", buf, AT_EMPTY_PATH);
    if (result == 0 && fstatExtra != 0 && S_ISREG(buf->st_mode)) buf->st_size += fstatExtra;
    return result;
}

extern "C" ssize_t pread(int fd, void* buf, size_t count, off_t offset) {
    if (interruptPreads) {
        nextPreadInterrupted = !nextPreadInterrupted;
        if (!nextPreadInterrupted) {
            ++preadInterruptions;
            errno = EINTR;
            return -1;
        }
    }
    iovec part{buf, count};
    return ::preadv(fd, &part, 1, offset);
}

namespace morvat::test {

FstatOvercount::FstatOvercount(std::int64_t extraBytes) {
    fstatExtra = extraBytes;
}

FstatOvercount::~FstatOvercount() {
    fstatExtra = 0;
}

PreadInterruptions::PreadInterruptions() {
    interruptPreads = true;
    nextPreadInterrupted = true;
    preadInterruptions = 0;
}

PreadInterruptions::~PreadInterruptions() {
    interruptPreads = false;
}

int PreadInterruptions::count() const {
    return preadInterruptions;
}

FstatCounter::FstatCounter() {
    countFstats = true;
    fstats = 0;
}

FstatCounter::~FstatCounter() {
    countFstats = false;
}

int FstatCounter::count() const {
    return fstats;
}

}  // namespace morvat::test
