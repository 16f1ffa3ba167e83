#pragma once

// True when the user may open the service control manager with all access, which only an
// administrator may; always true on Windows 95/98/Me; false when the version query fails.
bool IsAdministrator();
