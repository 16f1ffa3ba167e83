// netfw.h's CLSIDs and IIDs for this test program (libuuid.a lacks them).
#include <initguid.h>

#include <netfw.h>
