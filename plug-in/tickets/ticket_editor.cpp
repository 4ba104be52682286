// Finding, starting, activating and watching the separate ticket editor,
// and taking back the ticket it reports through the printer's key.
#include "tickets.h"

#include "page_controls.h"
#include "page_state.h"
#include "../settings/registry_text.h"
#include "../settings/ticket_software.h"
#include "../core/handles.h"
#include "../core/names.h"
#include "../core/safe_string.h"
#include "../resource_ids.h"
#include "../settings/printer_data.h"
#include "../core/plugin_context.h"

#include <cstring>
#include <cwchar>

namespace vorn {

namespace {

constexpr UINT kEditorWatchMs = 100;

// Full path into buffer; false (buffer untouched) when it does not fit.
bool MakeFullPath(const wchar_t* path, wchar_t (&buffer)[kTicketPathBufferChars]) noexcept {
    wchar_t full[kTicketPathBufferChars] = {};
    const DWORD length = GetFullPathNameW(path, kTicketPathBufferChars, full, nullptr);
    if (length == 0 || length >= kTicketPathBufferChars) {
        return false;
    }
    CopyInto(buffer, full);
    return true;
}

void BringToFront(HWND window) noexcept {
    SetForegroundWindow(window);
    SetActiveWindow(window);
    SetFocus(window);
}

// The editor's ticket: its folder listed and the ticket selected, or the
// saved directory chain when the folder is gone.
void TakeEditorTicket(HWND page, HINSTANCE instance, const PluginContext* context,
                      const wchar_t* folder, const wchar_t* name) noexcept {
    if (!IsExistingPath(folder, false)) {
        FillTicketListFromSavedDirectory(page, context);
        return;
    }
    SetDlgItemTextW(page, IDC_TICKET_DIR, folder);
    RefreshTicketList(page, instance);
    const HWND list = GetDlgItem(page, IDC_TICKET_LIST);
    const LRESULT index = SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(name));
    if (index != LB_ERR) {
        SendMessageW(list, LB_SETCURSEL, index, 0);
        SetFocus(list);
        UpdateTicketSelection(page, instance);
    }
}

} // namespace

int FindTicketEditor(wchar_t (&path)[kTicketPathBufferChars]) noexcept {
    std::memset(path, 0, sizeof(path));
    TicketSoftwarePaths paths;
    if (!ReadTicketSoftwarePaths(paths)) {
        return kEditorKeyUnreadable;
    }
    CopyInto(path, paths.editor);
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES ? kEditorFound : kEditorMissing;
}

int LaunchTicketEditor(HWND page, bool newTicket, const wchar_t* executable,
                       wchar_t (&ticketPath)[kTicketPathBufferChars],
                       const wchar_t* printerName) noexcept {
    TicketsPageState* state = TicketsState(page);
    if (!state) {
        return kEditorNotStarted;
    }
    MakeFullPath(ticketPath, ticketPath);
    STARTUPINFOW startup;
    std::memset(&startup, 0, sizeof(startup));
    startup.cb = sizeof(startup);
    state->ForgetEditor();

    wchar_t commandLine[1024] = {};
    AppendInto(commandLine, executable);
    AppendInto(commandLine, newTicket ? L" -n " : L" -jt ");
    AppendInto(commandLine, L" \"");
    AppendInto(commandLine, ticketPath);
    AppendInto(commandLine, L"\" \"");
    AppendInto(commandLine, printerName);
    AppendInto(commandLine, L"\"");
    // The executable is named as the application too: its path is not
    // quoted on the command line, and a folder with blanks would otherwise
    // let the system start whatever sits at a shorter path.
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(executable, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started)) {
        return kEditorNotStarted;
    }
    state->editorProcess.Reset(started.hProcess);
    state->editorThread.Reset(started.hThread);
    state->editorProcessId = started.dwProcessId;
    state->editorRunning = true;
    SetTimer(page, IDT_EDITOR_WATCH, kEditorWatchMs, nullptr);
    return kEditorStarted;
}

BOOL CALLBACK CollectEditorWindow(HWND window, LPARAM collection) noexcept {
    auto* windows = PointerFrom<EditorWindows*>(collection);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == windows->processId && windows->count < 100) {
        windows->windows[windows->count++] = window;
    }
    return TRUE;
}

void ActivateTicketEditor(HWND page) noexcept {
    TicketsPageState* state = TicketsState(page);
    if (!state) {
        return;
    }
    EditorWindows collected;
    std::memset(&collected, 0, sizeof(collected));
    collected.processId = state->editorProcessId;
    EnumWindows(CollectEditorWindow, reinterpret_cast<LPARAM>(&collected));
    for (DWORD i = 0; i < collected.count; ++i) {
        const HWND window = collected.windows[i];
        if (GetParent(window)) {
            continue;
        }
        wchar_t title[1024] = {};
        if (GetWindowTextW(window, title, 1024) <= 0) {
            title[0] = L'\0';
        }
        if (title[0] == L'\0' || !IsWindowVisible(window)) {
            continue;
        }
        if (IsIconic(window)) {
            ShowWindow(window, SW_RESTORE);
        }
        BringToFront(window);
    }
}

int ReadEditorResult(const wchar_t*, wchar_t (&folder)[kTicketPathBufferChars],
                     wchar_t (&name)[kTicketPathBufferChars], DWORD* exitCode,
                     const PluginContext* context) noexcept {
    if (!context) {
        return kResultUnreadable;
    }
    UniqueRegKey key;
    if (OpenPrinterDataKey(context, KEY_QUERY_VALUE, false, key) != ERROR_SUCCESS) {
        return kResultUnreadable;
    }
    switch (QueryTextValue(key.Get(), names::kSelectedTicket, folder, kTicketPathBufferChars)) {
    case TextValue::kBad:
        return kResultUnreadable;
    case TextValue::kAbsent:
    case TextValue::kRead:
        break;
    }
    if (folder[0] != L'\0') {
        // A folder is no ticket: as good as a missing one.
        if (!IsExistingPath(folder, true)) {
            return kResultTicketMissing;
        }
        wchar_t* slash = std::wcsrchr(folder, L'\\');
        if (slash) {
            CopyInto(name, slash + 1);
            *slash = L'\0';
        } else {
            CopyInto(name, folder);
            folder[0] = L'\0';
        }
        wchar_t* dot = std::wcsrchr(name, L'.');
        if (dot) {
            *dot = L'\0';
        }
        AppendInto(folder, L"\\");
        MakeFullPath(folder, folder);
    }
    DWORD type = REG_NONE;
    DWORD size = sizeof(DWORD);
    DWORD value = 0;
    // Exactly four bytes of a number: anything shorter would read as a
    // partly filled 0, which means success.
    if (RegQueryValueExW(key.Get(), names::kEditorExitCode, nullptr, &type,
                         reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        size != sizeof(value) || (type != REG_DWORD && type != REG_BINARY)) {
        return kResultUnreadable;
    }
    if (exitCode) {
        *exitCode = value;
    }
    if (RegCloseKey(key.Release()) != ERROR_SUCCESS) {
        return kResultUnreadable;
    }
    return kResultRead;
}

void HandleEditorExit(HWND page, HINSTANCE instance) noexcept {
    const PluginContext* context = PageContext(page);
    TicketsPageState* state = TicketsState(page);
    if (!state) {
        return;
    }
    // The page's own process handle tells the end exactly; the process id
    // alone could name another process once the editor is gone.
    if (state->editorProcess ? WaitForSingleObject(state->editorProcess.Get(), 0) == WAIT_TIMEOUT
                             : GetProcessVersion(state->editorProcessId) != 0) {
        return; // still running
    }
    KillTimer(page, IDT_EDITOR_WATCH);
    state->ForgetEditor();

    DWORD exitCode = 1;
    wchar_t folder[kTicketPathBufferChars] = {};
    wchar_t name[kTicketPathBufferChars] = {};
    const int result = ReadEditorResult(context ? context->printerName : nullptr, folder, name,
                                        &exitCode, context);
    if (result == kResultUnreadable) {
        ShowTicketMessage(page, instance, IDS_TICKET_REGISTRY_FAILED, MB_ICONHAND);
    } else if (result == kResultRead) {
        // After New only a ticket actually handed back counts; after Edit an
        // empty answer rebuilds the list from the saved directory.
        const bool take =
            exitCode == 0 && ((state->lastEditorButton == IDC_TICKET_NEW && folder[0] != L'\0') ||
                              state->lastEditorButton == IDC_TICKET_EDIT);
        if (take) {
            TakeEditorTicket(page, instance, context, folder, name);
        }
    }
    state->ReleaseRecord();
    state->lastEditorButton = kNoEditorButton;
    BringToFront(page);
}

} // namespace vorn
