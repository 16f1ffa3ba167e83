// The firewall's CLSIDs and IIDs are missing from libuuid.a: this file, and only this one,
// defines them for the DLL (netfw.h must not have been included before initguid.h).
#include <initguid.h>

#include <netfw.h>
