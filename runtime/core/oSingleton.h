#ifndef TALVOR_CORE_OSINGLETON_H
#define TALVOR_CORE_OSINGLETON_H

// Holder of the process-wide instance of a manager. The environment starts and
// stops the managers through it; getInstance() of a manager returns `instance`
// without starting it, so it is null outside start()..shutdown().
template <class T>
class oSingleton {
public:
    static T *start() {
        if (instance == nullptr) instance = new T();
        return instance;
    }

    static void shutdown() {
        delete instance;
        instance = nullptr;
    }

    static T *instance;
};

template <class T>
T *oSingleton<T>::instance = nullptr;

#endif
