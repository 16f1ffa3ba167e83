#pragma once

// Names of the calls that `fail` and `delay` statements can target.
namespace simfw {

// True for the "Interface::method" names (as netfw.h and oaidl.h spell them) of the calls that
// the program makes or a test fails on purpose, "X::QueryInterface" for the two interfaces the
// program queries for (IEnumVARIANT, INetFwOpenPort), and the class factories'
// "NetFwMgr::Create" and "NetFwOpenPort::Create".
bool IsKnownMethod(const char* name);

} // namespace simfw
