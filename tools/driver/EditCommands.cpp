// scroll, edit, text: a multi-line edit control's vertical scroll bar, caret and view.
#include "Commands.h"
#include "ProgramWindows.h"

#include <cstdio>
#include <vector>

namespace {

// What a user does on the scroll bar, as the bar reports it to its window: the action, then
// SB_ENDSCROLL when the mouse button is released. Sent, as the bar itself sends them.
struct ScrollAction {
    const char* name;
    WORD code;
    bool repeatable; // N is a repeat count, else a thumb position
};

constexpr ScrollAction ScrollActions[] = {
    {"linedown", SB_LINEDOWN, true}, {"lineup", SB_LINEUP, true}, {"pagedown", SB_PAGEDOWN, true},
    {"pageup", SB_PAGEUP, true},     {"top", SB_TOP, true},        {"bottom", SB_BOTTOM, true},
    {"track", SB_THUMBTRACK, false}, {"thumb", SB_THUMBPOSITION, false},
};

bool SendScroll(Session& session, HWND control, WORD code, WORD position)
{
    LRESULT ignored = 0;
    if (!SendQuick(control, WM_VSCROLL, MAKEWPARAM(code, position), 0, ignored)) {
        return session.Fail("the program did not take the scroll message");
    }
    return true;
}

// scroll ID linedown|lineup|pagedown|pageup|top|bottom [COUNT]: COUNT clicks (default 1).
// scroll ID track POS: the thumb dragged to POS and held. scroll ID thumb POS: dragged and released.
bool Scroll(Session& session, const Invocation& invocation)
{
    const auto& words = invocation.words;
    const ScrollAction* action = nullptr;
    if (words.size() >= 3) {
        for (const ScrollAction& known : ScrollActions) {
            if (words[2] == known.name) {
                action = &known;
            }
        }
    }
    long number = 1;
    if (!action || words.size() > 4 || (words.size() == 4 && !ParseNumber(words[3], number)) ||
        (!action->repeatable && words.size() != 4) || number < 0 || number > 0xFFFF) {
        return session.Fail("scroll needs a control id and linedown|lineup|pagedown|pageup|top|bottom [COUNT] "
                            "or track|thumb POSITION");
    }
    HWND control = ControlOf(session, words[1], true);
    if (!control) {
        return false;
    }
    if (!action->repeatable) {
        const WORD position = static_cast<WORD>(number);
        if (!SendScroll(session, control, SB_THUMBTRACK, position)) {
            return false;
        }
        if (action->code == SB_THUMBTRACK) {
            return true;
        }
        return SendScroll(session, control, SB_THUMBPOSITION, position) &&
               SendScroll(session, control, SB_ENDSCROLL, 0);
    }
    for (long i = 0; i < number; ++i) {
        if (!SendScroll(session, control, action->code, 0) || !SendScroll(session, control, SB_ENDSCROLL, 0)) {
            return false;
        }
    }
    return true;
}

// Lines that fit in the edit's formatting rectangle: its height over the distance between two
// neighbouring lines; -1 when the control does not tell.
long PageOf(HWND control, long lines, long first)
{
    RECT format{};
    LRESULT ignored = 0;
    if (lines < 2 || !SendQuick(control, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format), ignored)) {
        return -1;
    }
    const long upper = first + 1 < lines ? first : first - 1;
    LRESULT start0 = 0;
    LRESULT start1 = 0;
    LRESULT pos0 = 0;
    LRESULT pos1 = 0;
    if (!SendQuick(control, EM_LINEINDEX, static_cast<WPARAM>(upper), 0, start0) ||
        !SendQuick(control, EM_LINEINDEX, static_cast<WPARAM>(upper + 1), 0, start1) ||
        !SendQuick(control, EM_POSFROMCHAR, static_cast<WPARAM>(start0), 0, pos0) ||
        !SendQuick(control, EM_POSFROMCHAR, static_cast<WPARAM>(start1), 0, pos1)) {
        return -1;
    }
    const long lineHeight = static_cast<short>(HIWORD(pos1)) - static_cast<short>(HIWORD(pos0));
    return lineHeight > 0 ? (format.bottom - format.top) / lineHeight : -1;
}

// edit ID: the view and the caret of a multi-line edit control.
bool Edit(Session& session, const Invocation& invocation)
{
    if (invocation.words.size() != 2) {
        return session.Fail("edit needs a control id");
    }
    HWND control = ControlOf(session, invocation.words[1], false);
    if (!control) {
        return false;
    }
    LRESULT lines = 0;
    LRESULT first = 0;
    LRESULT selection = 0;
    if (!SendQuick(control, EM_GETLINECOUNT, 0, 0, lines) || !SendQuick(control, EM_GETFIRSTVISIBLELINE, 0, 0, first) ||
        !SendQuick(control, EM_GETSEL, 0, 0, selection)) {
        return session.Fail("the program did not answer the edit control's queries");
    }
    char line[160];
    std::snprintf(line, sizeof(line), "edit %s lines=%ld first=%ld page=%ld sel=%u,%u", invocation.words[1].c_str(),
                  static_cast<long>(lines), static_cast<long>(first),
                  PageOf(control, static_cast<long>(lines), static_cast<long>(first)),
                  static_cast<unsigned>(LOWORD(selection)), static_cast<unsigned>(HIWORD(selection)));
    session.Print(line);
    return true;
}

// text ID: the control's text as its window procedure answers WM_GETTEXT. The text that
// `controls` shows is the one the system keeps for the window, which an edit control does not
// update when the program sets its text.
bool Text(Session& session, const Invocation& invocation)
{
    if (invocation.words.size() != 2) {
        return session.Fail("text needs a control id");
    }
    HWND control = ControlOf(session, invocation.words[1], false);
    if (!control) {
        return false;
    }
    LRESULT length = 0;
    if (!SendQuick(control, WM_GETTEXTLENGTH, 0, 0, length) || length < 0) {
        return session.Fail("the program did not tell the text's length");
    }
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
    LRESULT copied = 0;
    if (!SendQuick(control, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()), copied) ||
        copied < 0 || static_cast<size_t>(copied) >= buffer.size()) {
        return session.Fail("the program did not give the text");
    }
    const std::wstring text(buffer.data(), static_cast<size_t>(copied));
    session.Print("text " + invocation.words[1] + " " + session.Text(text));
    return true;
}

} // namespace

std::vector<Command> EditCommands()
{
    return {{"scroll", Scroll}, {"edit", Edit}, {"text", Text}};
}
