#include "platform/namedlock.h"

#include <fcntl.h>
#include <semaphore.h>

#include <string>

void CreateNamedLock(const char* name)
{
    // A named semaphore held open for the life of the process; nothing waits on it.
    const std::string semaphoreName = std::string("/") + name;
    static sem_t* const lock = ::sem_open(semaphoreName.c_str(), O_CREAT, 0600, 1);
    (void)lock;
}
