#ifndef TALVOR_SINGLE_THREAD

#include "core/oMutex.h"

oMutex::oMutex() {
    pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(&mutex, &attributes);
    pthread_mutexattr_destroy(&attributes);
}

oMutex::~oMutex() { pthread_mutex_destroy(&mutex); }

bool oMutex::acquire() { return pthread_mutex_lock(&mutex) == 0; }

bool oMutex::release() { return pthread_mutex_unlock(&mutex) == 0; }

#endif
