#pragma once
// Clang's thread-safety attributes under short names, so the lock discipline of a class is
// written next to its fields and checked by -Wthread-safety. Other compilers see nothing.
#if defined(__clang__)
#define JED_THREAD_ATTRIBUTE(x) __attribute__((x))
#else
#define JED_THREAD_ATTRIBUTE(x)
#endif

#define CAPABILITY(x) JED_THREAD_ATTRIBUTE(capability(x))
#define SCOPED_CAPABILITY JED_THREAD_ATTRIBUTE(scoped_lockable)
#define GUARDED_BY(x) JED_THREAD_ATTRIBUTE(guarded_by(x))
#define PT_GUARDED_BY(x) JED_THREAD_ATTRIBUTE(pt_guarded_by(x))
#define ACQUIRED_BEFORE(...) JED_THREAD_ATTRIBUTE(acquired_before(__VA_ARGS__))
#define ACQUIRED_AFTER(...) JED_THREAD_ATTRIBUTE(acquired_after(__VA_ARGS__))
#define REQUIRES(...) JED_THREAD_ATTRIBUTE(requires_capability(__VA_ARGS__))
#define ACQUIRE(...) JED_THREAD_ATTRIBUTE(acquire_capability(__VA_ARGS__))
#define RELEASE(...) JED_THREAD_ATTRIBUTE(release_capability(__VA_ARGS__))
#define TRY_ACQUIRE(...) JED_THREAD_ATTRIBUTE(try_acquire_capability(__VA_ARGS__))
#define EXCLUDES(...) JED_THREAD_ATTRIBUTE(locks_excluded(__VA_ARGS__))
#define RETURN_CAPABILITY(x) JED_THREAD_ATTRIBUTE(lock_returned(x))
#define NO_THREAD_SAFETY_ANALYSIS JED_THREAD_ATTRIBUTE(no_thread_safety_analysis)
