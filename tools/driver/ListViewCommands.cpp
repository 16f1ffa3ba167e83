// rows, select, tick, untick: a list view's rows, their texts and check boxes.
#include "Commands.h"
#include "ProgramWindows.h"

#include <commctrl.h>
#include <cstddef>

namespace {

// A block of memory inside the process that owns a window, for messages whose pointers the
// system does not carry across processes (the common controls' messages). Freed with the object.
class RemoteMemory {
public:
    RemoteMemory(HWND window, size_t size) : size(size)
    {
        DWORD processId = 0;
        ::GetWindowThreadProcessId(window, &processId);
        process.reset(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
        if (process) {
            address = ::VirtualAllocEx(process.get(), nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        }
    }
    ~RemoteMemory()
    {
        if (address) {
            ::VirtualFreeEx(process.get(), address, 0, MEM_RELEASE);
        }
    }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    // False when the block could not be made.
    explicit operator bool() const { return address != nullptr; }
    // The block's address as the other process sees it.
    char* Address() const { return static_cast<char*>(address); }

    // Copies into or out of the block; false (nothing copied) when the range leaves the block.
    bool Write(size_t offset, const void* data, size_t count)
    {
        SIZE_T written = 0;
        return address && Fits(offset, count) &&
               ::WriteProcessMemory(process.get(), Address() + offset, data, count, &written) && written == count;
    }
    bool Read(size_t offset, void* data, size_t count) const
    {
        SIZE_T read = 0;
        return address && Fits(offset, count) &&
               ::ReadProcessMemory(process.get(), Address() + offset, data, count, &read) && read == count;
    }

private:
    bool Fits(size_t offset, size_t count) const { return offset <= size && count <= size - offset; }

    fw::UniqueHandle process;
    void* address = nullptr;
    size_t size;
};

constexpr int RowTextCapacity = 1024;

UINT StateOf(HWND list, int row, UINT mask)
{
    LRESULT state = 0;
    SendQuick(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), mask, state);
    return static_cast<UINT>(state) & mask;
}

// A row's state image as a check box: 1 unticked, 2 ticked, 0 none.
UINT CheckImageOf(HWND list, int row) { return StateOf(list, row, LVIS_STATEIMAGEMASK) >> 12; }

// The row's text, read through a block in the program: LVM_GETITEMTEXTW's item and buffer
// must be addresses of the list view's own process.
bool RowText(HWND list, int row, std::wstring& text)
{
    RemoteMemory block(list, sizeof(LVITEMW) + RowTextCapacity * sizeof(wchar_t));
    if (!block) {
        return false;
    }
    LVITEMW item{};
    item.iSubItem = 0;
    item.cchTextMax = RowTextCapacity;
    item.pszText = reinterpret_cast<wchar_t*>(block.Address() + sizeof(LVITEMW));
    LRESULT length = 0;
    if (!block.Write(0, &item, sizeof(item)) ||
        !SendQuick(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(block.Address()), length) ||
        length < 0 || length >= RowTextCapacity) {
        return false;
    }
    text.assign(static_cast<size_t>(length), L'\0');
    return block.Read(sizeof(LVITEMW), &text[0], text.size() * sizeof(wchar_t));
}

int RowCount(HWND list)
{
    LRESULT count = 0;
    return SendQuick(list, LVM_GETITEMCOUNT, 0, 0, count) ? static_cast<int>(count) : -1;
}

// rows ID: the number of rows, then one line per row.
bool Rows(Session& session, const Invocation& invocation)
{
    if (invocation.words.size() != 2) {
        return session.Fail("rows needs a control id");
    }
    HWND list = ControlOf(session, invocation.words[1], false);
    if (!list) {
        return false;
    }
    const int count = RowCount(list);
    if (count < 0) {
        return session.Fail("the list view did not tell its row count");
    }
    session.Print("rows " + invocation.words[1] + " " + std::to_string(count));
    for (int row = 0; row < count; ++row) {
        std::wstring text;
        if (!RowText(list, row, text)) {
            return session.Fail("cannot read the text of row " + std::to_string(row));
        }
        static const char* const checks[] = {"no-check", "unticked", "ticked"};
        const UINT check = CheckImageOf(list, row);
        std::string line = "row " + std::to_string(row) + " " + session.Text(text) + " " +
                           (check < 3 ? checks[check] : "image-" + std::to_string(check));
        if (StateOf(list, row, LVIS_SELECTED)) {
            line += " selected";
        }
        if (StateOf(list, row, LVIS_FOCUSED)) {
            line += " focused";
        }
        session.Print(line);
    }
    return true;
}

// The list view and the row a command names; the list must be usable, the row must exist.
HWND ListAndRow(Session& session, const Invocation& invocation, int& row)
{
    long number = 0;
    if (invocation.words.size() != 3 || !ParseNumber(invocation.words[2], number)) {
        session.Fail(invocation.words[0] + " needs a control id and a row number (from 0)");
        return nullptr;
    }
    HWND list = ControlOf(session, invocation.words[1], true);
    if (list && (number < 0 || number >= RowCount(list))) {
        session.Fail("the list view has no row " + invocation.words[2]);
        return nullptr;
    }
    row = static_cast<int>(number);
    return list;
}

// Waits until the condition holds, then until the program has finished handling the keys.
template <typename Condition>
bool WaitFor(HWND list, Condition condition)
{
    const DWORD start = ::GetTickCount();
    while (!condition()) {
        if (::GetTickCount() - start > static_cast<DWORD>(PatienceMs)) {
            return false;
        }
        ::Sleep(10);
    }
    Settle(::GetParent(list));
    return true;
}

// The user's way to a row: Home, then Down once per row; the row becomes focused and selected.
bool GoToRow(Session& session, HWND list, int row)
{
    PostKey(list, VK_HOME);
    for (int i = 0; i < row; ++i) {
        PostKey(list, VK_DOWN);
    }
    const UINT wanted = LVIS_SELECTED | LVIS_FOCUSED;
    if (!WaitFor(list, [&] { return StateOf(list, row, wanted) == wanted; })) {
        return session.Fail("row " + std::to_string(row) + " did not become selected");
    }
    return true;
}

bool Select(Session& session, const Invocation& invocation)
{
    int row = 0;
    HWND list = ListAndRow(session, invocation, row);
    return list && GoToRow(session, list, row);
}

// tick / untick ID ROW: the row selected with the keys, then Space toggles its check box.
bool SetCheck(Session& session, const Invocation& invocation, UINT wanted)
{
    int row = 0;
    HWND list = ListAndRow(session, invocation, row);
    if (!list) {
        return false;
    }
    const UINT check = CheckImageOf(list, row);
    if (check == 0) {
        return session.Fail("row " + invocation.words[2] + " has no check box");
    }
    if (check == wanted) {
        return session.Fail("row " + invocation.words[2] + " is " + (wanted == 2 ? "ticked" : "unticked") + " already");
    }
    if (!GoToRow(session, list, row)) {
        return false;
    }
    PostKey(list, VK_SPACE);
    if (!WaitFor(list, [&] { return CheckImageOf(list, row) == wanted; })) {
        return session.Fail("Space did not change the check box of row " + invocation.words[2]);
    }
    return true;
}

bool Tick(Session& session, const Invocation& invocation) { return SetCheck(session, invocation, 2); }
bool Untick(Session& session, const Invocation& invocation) { return SetCheck(session, invocation, 1); }

} // namespace

std::vector<Command> ListViewCommands()
{
    return {{"rows", Rows}, {"select", Select}, {"tick", Tick}, {"untick", Untick}};
}
