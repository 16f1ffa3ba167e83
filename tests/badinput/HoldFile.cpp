// holdfile PATH EVENT: another program that has PATH open. It opens the file for reading, sharing
// everything, then creates the named event EVENT so that a script (uidriver's `waitevent`) knows
// the file is held, and keeps it open for a minute or until it is ended.
#include "framework/Handles.h"

#include <windows.h>

int main(int argc, char** argv)
{
    if (argc != 3) {
        return 2;
    }
    const HANDLE opened = ::CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        return 1;
    }
    fw::UniqueHandle file(opened);
    fw::UniqueHandle held(::CreateEventA(nullptr, TRUE, TRUE, argv[2]));
    if (!held) {
        return 1;
    }
    ::Sleep(60000);
    return 0;
}
