// press: a button clicked by the mouse, as the button itself handles it.
#include "Commands.h"
#include "ProgramWindows.h"

namespace {

// press ID: posts BM_CLICK to the button, which presses and releases itself: an automatic radio
// button or check box changes its check state, and the button tells the dialog (BN_CLICKED).
// `click` only tells the dialog, so it leaves a radio button unchecked. Posted, as the click may
// open another modal window. Fails when the button is hidden or disabled.
bool Press(Session& session, const Invocation& invocation)
{
    if (invocation.words.size() != 2) {
        return session.Fail("press needs a control id");
    }
    HWND button = ControlOf(session, invocation.words[1], true);
    if (!button) {
        return false;
    }
    ::PostMessageA(button, BM_CLICK, 0, 0);
    return true;
}

} // namespace

std::vector<Command> ButtonCommands()
{
    return {{"press", Press}};
}
