#include "private_devmode.h"
#include "safe_string.h"

#include <winsock.h>

#include <cstring>

namespace vorn {

namespace {

// Asking the resolver for the local name costs milliseconds (more where the
// name service is slow), and the host asks for defaults many times while a
// print dialog opens. The computer's name does not change while a process
// runs, so the first name found is kept. A failed lookup is not kept: a
// network stack that starts later is still found.
enum : LONG { kNameUnknown = 0, kNameBeingStored = 1, kNameKnown = 2 };
volatile LONG g_nameState = kNameUnknown;
char g_knownName[kHostNameChars];

bool ReadKnownName(char (&out)[kHostNameChars]) noexcept {
    // The exchange is a full barrier: the name is read only after its state.
    if (InterlockedCompareExchange(&g_nameState, kNameKnown, kNameKnown) != kNameKnown) {
        return false;
    }
    std::memcpy(out, g_knownName, kHostNameChars);
    return true;
}

void KeepName(const char (&name)[kHostNameChars]) noexcept {
    if (name[0] == '\0' ||
        InterlockedCompareExchange(&g_nameState, kNameBeingStored, kNameUnknown) != kNameUnknown) {
        return;
    }
    std::memcpy(g_knownName, name, kHostNameChars);
    InterlockedExchange(&g_nameState, kNameKnown);
}

void LookUpHostShortName(char (&out)[kHostNameChars]) noexcept {
    out[0] = '\0';
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 0), &data) != 0) {
        return;
    }
    if (LOBYTE(data.wVersion) == 2 && HIBYTE(data.wVersion) == 0) {
        const hostent* host = gethostbyname(nullptr);
        if (host && host->h_name) {
            const char* name = host->h_name;
            const char* dot = std::strchr(name, '.');
            const size_t label = dot ? static_cast<size_t>(dot - name) : std::strlen(name);
            // A first label longer than the field is cut to 31 characters.
            StringAppendNarrowN(out, kHostNameChars, name, label);
        }
    }
    WSACleanup();
}

} // namespace

void GetLocalHostShortName(char (&out)[kHostNameChars]) noexcept {
    if (ReadKnownName(out)) {
        return;
    }
    LookUpHostShortName(out);
    KeepName(out);
}

} // namespace vorn
