#include "port/handletable.h"
#include "port/http/internetobjects.h"
#include "port/http/wininet.h"
#include "port/system/lasterror.h"

namespace port::http {
namespace {

// Never destroyed: worker threads may still close their handles while the process exits.
HandleTable<HINTERNET, InternetObject>& Table() {
    static auto* table = new HandleTable<HINTERNET, InternetObject>(0x000C0010, 0x10);
    return *table;
}

}  // namespace

HINTERNET AddInternetHandle(std::shared_ptr<InternetObject> object) {
    return Table().Add(std::move(object));
}

std::shared_ptr<InternetObject> LookupAnyInternetHandle(HINTERNET handle) {
    return Table().Lookup(handle);
}

void SetIncorrectHandleError(bool open) {
    SetLastError(open ? ERROR_INTERNET_INCORRECT_HANDLE_TYPE : ERROR_INVALID_HANDLE);
}

bool RemoveInternetHandle(HINTERNET handle) {
    return Table().Remove(handle);
}

void CloseAllInternetHandles() {
    Table().Clear();
}

}  // namespace port::http

BOOL InternetCloseHandle(HINTERNET handle) {
    // A request still in use by a call on another thread lives until that call returns.
    if (!port::http::RemoveInternetHandle(handle)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
