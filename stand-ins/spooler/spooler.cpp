// A stand-in for the print spooler's client library (winspool.drv). Printers
// exist only as a test or the demo describes them; every answer is built from
// that description the way the real spooler lays out its records.
#include "spooler_control.h"

#include <windows.h>
#include <winspool.h>

#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace {

struct DataValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
};

struct Printer {
    std::wstring name;
    std::wstring driverName;
    std::wstring configFile;
    DWORD attributes = 0;
    DWORD failures = 0;
    std::map<std::wstring, DataValue> data;
};

struct OpenPrinterHandle {
    DWORD magic = 0x50524E54;
    std::wstring name;
};

std::mutex g_lock;
std::map<std::wstring, Printer> g_printers;
std::string g_driverDirectory = "C:\\windows\\system32\\spool\\drivers\\x64";
DWORD g_lastOpenAccess = 0;
LONG g_openHandles = 0;

Printer* FindByHandle(HANDLE handle) {
    auto* open = static_cast<OpenPrinterHandle*>(handle);
    if (!open || open->magic != 0x50524E54) {
        return nullptr;
    }
    auto it = g_printers.find(open->name);
    return it == g_printers.end() ? nullptr : &it->second;
}

// Lays out a record followed by its strings, as the spooler does.
class RecordWriter {
  public:
    RecordWriter(BYTE* buffer, DWORD size, DWORD fixed)
        : buffer_(buffer), size_(size), used_(fixed) {}
    wchar_t* Put(const std::wstring& text) {
        const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
        const DWORD at = used_;
        used_ += bytes;
        if (!buffer_ || used_ > size_) {
            return nullptr;
        }
        std::memcpy(buffer_ + at, text.c_str(), bytes);
        return reinterpret_cast<wchar_t*>(buffer_ + at);
    }
    DWORD Used() const { return used_; }

  private:
    BYTE* buffer_;
    DWORD size_;
    DWORD used_;
};

BOOL Answer(DWORD needed, DWORD size, LPDWORD pcbNeeded) {
    if (pcbNeeded) {
        *pcbNeeded = needed;
    }
    if (needed > size) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    return TRUE;
}

} // namespace

extern "C" {

// ---- Control -------------------------------------------------------------

__declspec(dllexport) void WINAPI StandInSpooler_Reset() {
    std::lock_guard<std::mutex> guard(g_lock);
    g_printers.clear();
    g_lastOpenAccess = 0;
}

__declspec(dllexport) BOOL WINAPI
    StandInSpooler_AddPrinter(const wchar_t* name, const wchar_t* driverName, DWORD attributes,
                              const wchar_t* configFile) {
    if (!name) {
        return FALSE;
    }
    std::lock_guard<std::mutex> guard(g_lock);
    Printer& p = g_printers[name];
    p.name = name;
    p.driverName = driverName ? driverName : L"";
    p.configFile = configFile ? configFile : L"";
    p.attributes = attributes;
    return TRUE;
}

__declspec(dllexport) BOOL WINAPI StandInSpooler_SetFailures(const wchar_t* name, DWORD failures) {
    std::lock_guard<std::mutex> guard(g_lock);
    auto it = g_printers.find(name ? name : L"");
    if (it == g_printers.end()) {
        return FALSE;
    }
    it->second.failures = failures;
    return TRUE;
}

__declspec(dllexport) BOOL WINAPI
    StandInSpooler_SetPrinterData(const wchar_t* name, const wchar_t* value, DWORD type,
                                  const void* data, DWORD size) {
    std::lock_guard<std::mutex> guard(g_lock);
    auto it = g_printers.find(name ? name : L"");
    if (it == g_printers.end() || !value) {
        return FALSE;
    }
    if (!data) {
        it->second.data.erase(value);
        return TRUE;
    }
    DataValue v;
    v.type = type;
    v.bytes.assign(static_cast<const BYTE*>(data), static_cast<const BYTE*>(data) + size);
    it->second.data[value] = v;
    return TRUE;
}

__declspec(dllexport) void WINAPI StandInSpooler_SetDriverDirectory(const char* directory) {
    std::lock_guard<std::mutex> guard(g_lock);
    g_driverDirectory = directory ? directory : "";
}

__declspec(dllexport) DWORD WINAPI StandInSpooler_LastOpenAccess() {
    return g_lastOpenAccess;
}

__declspec(dllexport) LONG WINAPI StandInSpooler_OpenHandles() {
    return g_openHandles;
}

// ---- Spooler API ----------------------------------------------------------

BOOL WINAPI OpenPrinterW(LPWSTR name, LPHANDLE handle, LPPRINTER_DEFAULTSW defaults) {
    std::lock_guard<std::mutex> guard(g_lock);
    g_lastOpenAccess = defaults ? defaults->DesiredAccess : 0;
    if (!handle) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *handle = nullptr;
    auto it = g_printers.find(name ? name : L"");
    if (it == g_printers.end() || (it->second.failures & standin::kFailOpen)) {
        SetLastError(ERROR_INVALID_PRINTER_NAME);
        return FALSE;
    }
    if (it->second.failures & standin::kOpenGivesNoHandle) {
        return TRUE;
    }
    auto* open = new OpenPrinterHandle;
    open->name = it->first;
    *handle = open;
    InterlockedIncrement(&g_openHandles);
    return TRUE;
}

BOOL WINAPI OpenPrinterA(LPSTR name, LPHANDLE handle, LPPRINTER_DEFAULTSA) {
    wchar_t wide[512] = {};
    if (name) {
        MultiByteToWideChar(CP_ACP, 0, name, -1, wide, 511);
    }
    return OpenPrinterW(name ? wide : nullptr, handle, nullptr);
}

BOOL WINAPI ClosePrinter(HANDLE handle) {
    auto* open = static_cast<OpenPrinterHandle*>(handle);
    if (!open || open->magic != 0x50524E54) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    open->magic = 0;
    delete open;
    InterlockedDecrement(&g_openHandles);
    return TRUE;
}

BOOL WINAPI GetPrinterW(HANDLE handle, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed) {
    std::lock_guard<std::mutex> guard(g_lock);
    Printer* p = FindByHandle(handle);
    if (!p) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (level == 2) {
        if (p->failures & standin::kFailGetPrinter2) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        RecordWriter sizing(nullptr, 0, sizeof(PRINTER_INFO_2W));
        for (const std::wstring* s : {&p->name, &p->driverName}) {
            sizing.Put(*s);
        }
        sizing.Put(L"LPT1:");
        sizing.Put(L"winprint");
        sizing.Put(L"RAW");
        if (!Answer(sizing.Used(), size, needed) || !buffer) {
            if (!buffer) {
                SetLastError(ERROR_INSUFFICIENT_BUFFER);
            }
            return FALSE;
        }
        std::memset(buffer, 0, sizeof(PRINTER_INFO_2W));
        auto* info = reinterpret_cast<PRINTER_INFO_2W*>(buffer);
        RecordWriter w(buffer, size, sizeof(PRINTER_INFO_2W));
        info->pPrinterName = w.Put(p->name);
        info->pDriverName = w.Put(p->driverName);
        info->pPortName = w.Put(L"LPT1:");
        info->pPrintProcessor = w.Put(L"winprint");
        info->pDatatype = w.Put(L"RAW");
        info->Attributes = p->attributes;
        return TRUE;
    }
    if (level == 5) {
        if (p->failures & standin::kFailGetPrinter5) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        RecordWriter sizing(nullptr, 0, sizeof(PRINTER_INFO_5W));
        sizing.Put(p->name);
        sizing.Put(L"LPT1:");
        if (!Answer(sizing.Used(), size, needed) || !buffer) {
            if (!buffer) {
                SetLastError(ERROR_INSUFFICIENT_BUFFER);
            }
            return FALSE;
        }
        std::memset(buffer, 0, sizeof(PRINTER_INFO_5W));
        auto* info = reinterpret_cast<PRINTER_INFO_5W*>(buffer);
        RecordWriter w(buffer, size, sizeof(PRINTER_INFO_5W));
        info->pPrinterName = w.Put(p->name);
        info->pPortName = w.Put(L"LPT1:");
        info->Attributes = p->attributes;
        info->DeviceNotSelectedTimeout = 15000;
        info->TransmissionRetryTimeout = 45000;
        return TRUE;
    }
    SetLastError(ERROR_INVALID_LEVEL);
    return FALSE;
}

BOOL WINAPI GetPrinterA(HANDLE, DWORD, LPBYTE, DWORD, LPDWORD needed) {
    if (needed) {
        *needed = 0;
    }
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
}

BOOL WINAPI GetPrinterDriverW(HANDLE handle, LPWSTR, DWORD level, LPBYTE buffer, DWORD size,
                              LPDWORD needed) {
    std::lock_guard<std::mutex> guard(g_lock);
    Printer* p = FindByHandle(handle);
    if (!p) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (level != 3) {
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    if (p->failures & standin::kFailGetDriver) {
        SetLastError(ERROR_UNKNOWN_PRINTER_DRIVER);
        return FALSE;
    }
    const std::wstring env = L"Windows x64";
    RecordWriter sizing(nullptr, 0, sizeof(DRIVER_INFO_3W));
    sizing.Put(p->driverName);
    sizing.Put(env);
    sizing.Put(p->configFile);
    if (!Answer(sizing.Used(), size, needed) || !buffer) {
        if (!buffer) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
        }
        return FALSE;
    }
    std::memset(buffer, 0, sizeof(DRIVER_INFO_3W));
    auto* info = reinterpret_cast<DRIVER_INFO_3W*>(buffer);
    RecordWriter w(buffer, size, sizeof(DRIVER_INFO_3W));
    info->cVersion = 3;
    info->pName = w.Put(p->driverName);
    info->pEnvironment = w.Put(env);
    info->pConfigFile = w.Put(p->configFile);
    return TRUE;
}

BOOL WINAPI GetPrinterDriverA(HANDLE, LPSTR, DWORD, LPBYTE, DWORD, LPDWORD needed) {
    if (needed) {
        *needed = 0;
    }
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
}

BOOL WINAPI GetPrinterDriverDirectoryA(LPSTR, LPSTR, DWORD level, LPBYTE buffer, DWORD size,
                                       LPDWORD needed) {
    std::lock_guard<std::mutex> guard(g_lock);
    if (level != 1) {
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    const DWORD bytes = static_cast<DWORD>(g_driverDirectory.size() + 1);
    if (!Answer(bytes, size, needed) || !buffer) {
        return FALSE;
    }
    std::memcpy(buffer, g_driverDirectory.c_str(), bytes);
    return TRUE;
}

BOOL WINAPI GetPrinterDriverDirectoryW(LPWSTR, LPWSTR, DWORD level, LPBYTE buffer, DWORD size,
                                       LPDWORD needed) {
    std::lock_guard<std::mutex> guard(g_lock);
    if (level != 1) {
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    wchar_t wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, g_driverDirectory.c_str(), -1, wide, MAX_PATH - 1);
    const DWORD bytes = static_cast<DWORD>((wcslen(wide) + 1) * sizeof(wchar_t));
    if (!Answer(bytes, size, needed) || !buffer) {
        return FALSE;
    }
    std::memcpy(buffer, wide, bytes);
    return TRUE;
}

DWORD WINAPI GetPrinterDataW(HANDLE handle, LPWSTR value, LPDWORD type, LPBYTE data, DWORD size,
                             LPDWORD needed) {
    std::lock_guard<std::mutex> guard(g_lock);
    Printer* p = FindByHandle(handle);
    if (!p) {
        return ERROR_INVALID_HANDLE;
    }
    auto it = p->data.find(value ? value : L"");
    if (it == p->data.end()) {
        return ERROR_FILE_NOT_FOUND;
    }
    const DWORD bytes = static_cast<DWORD>(it->second.bytes.size());
    if (type) {
        *type = it->second.type;
    }
    if (needed) {
        *needed = bytes;
    }
    if (!data || size < bytes) {
        return ERROR_MORE_DATA;
    }
    if (bytes) {
        std::memcpy(data, it->second.bytes.data(), bytes);
    }
    return ERROR_SUCCESS;
}

DWORD WINAPI SetPrinterDataW(HANDLE handle, LPWSTR value, DWORD type, LPBYTE data, DWORD size) {
    std::lock_guard<std::mutex> guard(g_lock);
    Printer* p = FindByHandle(handle);
    if (!p || !value) {
        return ERROR_INVALID_HANDLE;
    }
    DataValue v;
    v.type = type;
    if (data) {
        v.bytes.assign(data, data + size);
    }
    p->data[value] = v;
    return ERROR_SUCCESS;
}

// What other system DLLs in the process import from the spooler; harmless
// answers, since no dialog here needs a real printer list.
BOOL WINAPI EnumPrintersW(DWORD, LPWSTR, DWORD, LPBYTE, DWORD, LPDWORD needed, LPDWORD returned) {
    if (needed) {
        *needed = 0;
    }
    if (returned) {
        *returned = 0;
    }
    return TRUE;
}
BOOL WINAPI EnumPrintersA(DWORD, LPSTR, DWORD, LPBYTE, DWORD, LPDWORD needed, LPDWORD returned) {
    return EnumPrintersW(0, nullptr, 0, nullptr, 0, needed, returned);
}
BOOL WINAPI GetDefaultPrinterW(LPWSTR, LPDWORD) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return FALSE;
}
BOOL WINAPI GetDefaultPrinterA(LPSTR, LPDWORD) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return FALSE;
}
int WINAPI DeviceCapabilitiesW(LPCWSTR, LPCWSTR, WORD, LPWSTR, const DEVMODEW*) {
    return -1;
}
int WINAPI DeviceCapabilitiesA(LPCSTR, LPCSTR, WORD, LPSTR, const DEVMODEA*) {
    return -1;
}
LONG WINAPI DocumentPropertiesW(HWND, HANDLE, LPWSTR, PDEVMODEW, PDEVMODEW, DWORD) {
    return -1;
}
LONG WINAPI DocumentPropertiesA(HWND, HANDLE, LPSTR, PDEVMODEA, PDEVMODEA, DWORD) {
    return -1;
}

} // extern "C"
