#pragma once

// Names of the calls that `fail` and `delay` statements can target.
namespace simfw {

// True for "Interface::method" names of the calls the sim implements (as netfw.h and oaidl.h
// spell them), "X::QueryInterface" for each of its interfaces, and the class factories'
// "NetFwMgr::Create" and "NetFwOpenPort::Create".
bool IsKnownMethod(const char* name);

} // namespace simfw
