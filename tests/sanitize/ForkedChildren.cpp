// Linked into the test programs of the ThreadSanitizer build only. QProcess
// starts its children with clone(CLONE_VM | CLONE_VFORK): the child runs in
// the parent's memory until it execs, and the sanitizer's fork handling, run
// in that child, rewrites the parent's own state (the parent's threads then
// lose the order their locks gave them). Here such a clone becomes a plain
// fork-like clone: the child gets a copy of the memory, and the parent waits
// for it as for any forked child that Qt starts.
#include <cstdarg>
#include <dlfcn.h>
#include <sched.h>

extern "C" int clone(int (*fn)(void*), void* stack, int flags, void* arg, ...)
{
    va_list more;
    va_start(more, arg);
    void* parentTid = va_arg(more, void*);
    void* tls = va_arg(more, void*);
    void* childTid = va_arg(more, void*);
    va_end(more);
    using Clone = int (*)(int (*)(void*), void*, int, void*, ...);
    static const auto next = reinterpret_cast<Clone>(dlsym(RTLD_NEXT, "clone"));
    if ((flags & CLONE_VM) && (flags & CLONE_VFORK)) flags &= ~(CLONE_VM | CLONE_VFORK);
    return next(fn, stack, flags, arg, parentTid, tls, childTid);
}
