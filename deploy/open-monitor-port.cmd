@echo off
rem Opens the monitor program's UDP port in the Windows Firewall without any window, for Group
rem Policy start-up scripts and other unattended runs (as SYSTEM or from an elevated process):
rem runs FirewallSetup.exe from this script's folder in Silent mode. Exit code 0 when the port
rem is open (opened now, or open already), otherwise the program's own code; one line on
rem standard output says which. The texts are ASCII, so they read the same on every code page.
setlocal
set "program=%~dp0FirewallSetup.exe"
if not exist "%program%" goto missing

rem A batch file waits for a windows program to end, so the program is started directly.
"%program%" S
set "code=%errorlevel%"

set "text=FirewallSetup ended with an unexpected code"
if "%code%"=="0" set "text=the monitor's port is open now"
if "%code%"=="5" set "text=the monitor's port was open already, nothing changed"
if "%code%"=="1" set "text=another FirewallSetup is running, try again later"
if "%code%"=="2" set "text=this machine has no Windows Firewall interface, nothing to do"
if "%code%"=="3" set "text=not run as an administrator, run this script as SYSTEM or elevated"
if "%code%"=="4" set "text=the monitor program is not installed, nothing to do"
if "%code%"=="6" set "text=a firewall query or change failed"
echo open-monitor-port: %text% (FirewallSetup code %code%)
if "%code%"=="5" exit /b 0
exit /b %code%

:missing
rem 9009 lies outside the program's codes 0 to 6, so that no engine takes it for one of them.
echo open-monitor-port: no FirewallSetup.exe in "%~dp0", nothing changed (code 9009)
exit /b 9009
