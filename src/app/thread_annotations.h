#pragma once
// Clang's thread-safety attributes, and a mutex the analysis understands.
//
// Built with clang and -Wthread-safety, the compiler checks that a member marked
// GUARDED_BY(m) is only touched with m held and that a function marked
// REQUIRES(m) is only called with it held. Other compilers see empty macros.
// std::mutex carries no attributes in libstdc++, so the guarded code locks a
// Mutex (a std::mutex declared a capability) through a MutexLock.

#include <mutex>

#if defined(__clang__)
#define MK_THREAD_ANNOTATION(x) __attribute__((x))
#else
#define MK_THREAD_ANNOTATION(x)
#endif

#define CAPABILITY(x) MK_THREAD_ANNOTATION(capability(x))
#define SCOPED_CAPABILITY MK_THREAD_ANNOTATION(scoped_lockable)
#define GUARDED_BY(x) MK_THREAD_ANNOTATION(guarded_by(x))
#define REQUIRES(...) MK_THREAD_ANNOTATION(requires_capability(__VA_ARGS__))
#define ACQUIRE(...) MK_THREAD_ANNOTATION(acquire_capability(__VA_ARGS__))
#define RELEASE(...) MK_THREAD_ANNOTATION(release_capability(__VA_ARGS__))
#define EXCLUDES(...) MK_THREAD_ANNOTATION(locks_excluded(__VA_ARGS__))

namespace marunoki {

// A std::mutex the analysis knows as a capability. Lockable, so a
// std::condition_variable_any waits on it through a MutexLock.
class CAPABILITY("mutex") Mutex {
public:
    Mutex() = default;
    Mutex(const Mutex &) = delete;
    Mutex &operator=(const Mutex &) = delete;

    void lock() ACQUIRE() { mutex_.lock(); }
    void unlock() RELEASE() { mutex_.unlock(); }

private:
    std::mutex mutex_;
};

// Holds a Mutex for its scope; unlock() and lock() let a caller let go of it
// for a while (around a call that must not run under it, or a wait).
class SCOPED_CAPABILITY MutexLock {
public:
    explicit MutexLock(Mutex &mutex) ACQUIRE(mutex)
        : mutex_(mutex)
    {
        mutex_.lock();
    }
    ~MutexLock() RELEASE()
    {
        if (held_)
            mutex_.unlock();
    }
    MutexLock(const MutexLock &) = delete;
    MutexLock &operator=(const MutexLock &) = delete;

    void lock() ACQUIRE()
    {
        mutex_.lock();
        held_ = true;
    }
    void unlock() RELEASE()
    {
        held_ = false;
        mutex_.unlock();
    }

private:
    Mutex &mutex_;
    bool held_ = true;
};

}  // namespace marunoki
