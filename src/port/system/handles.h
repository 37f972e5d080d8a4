// Internal: the table of kernel-object handles (mutexes, events, threads, instance locks). A handle
// is a small number that names a shared object; closing it drops the table's reference, and the
// object lives on while a waiter, a running thread or a sound buffer's notification still holds it.
#pragma once

#include <memory>

#include "port/win32types.h"

namespace port {

class KernelObject {
public:
    virtual ~KernelObject() = default;
    // WaitForSingleObject on this object.
    virtual DWORD Wait(DWORD timeoutMs) = 0;
};

HANDLE AddHandle(std::shared_ptr<KernelObject> object);
std::shared_ptr<KernelObject> LookupHandle(HANDLE handle);
// False when the handle is not open.
bool RemoveHandle(HANDLE handle);

}  // namespace port
