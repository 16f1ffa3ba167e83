#pragma once

#include "task/RunMode.h"

// The message boxes that tell the user the outcome of a Setup or Remove run. Both block until
// the user has closed the box.

// Set-up done (text 5008) for RunMode::Setup, removal done (5009) for any other mode.
void ShowSuccessMessage(RunMode mode);

// The text for a ResultCode from 2 to 6; code 5 is worded for the mode. Other codes show nothing.
void ShowErrorMessage(RunMode mode, ResultCode code);
