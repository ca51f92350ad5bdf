// What a new machine's spooler holds: the keys of the printing system with the parts Windows 10
// ships (the "Local Port" monitor and its ports, the "winprint" print processor, the network
// print providers), no printers and no drivers. The machine protects them as every key it is
// created with, so that a setup that prunes the keys it emptied stops below them.
#include "platform/emulated/spooler/emulated_spooler.h"

namespace platform::emulated {
namespace {

constexpr const char* kSeed = R"REG(
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Print]
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Print\Printers]
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Print\Environments\Windows x64\Drivers\Version-3]
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Print\Environments\Windows x64\Print Processors\winprint]
"Driver"="winprint.dll"
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Print\Environments\Windows NT x86\Drivers\Version-3]
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Print\Environments\Windows NT x86\Print Processors\winprint]
"Driver"="winprint.dll"
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Print\Monitors\Local Port]
"Driver"="localspl.dll"
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Print\Monitors\Standard TCP/IP Port]
"Driver"="tcpmon.dll"
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Print\Providers]
"Order"=hex(7):49,00,6e,00,74,00,65,00,72,00,6e,00,65,00,74,00,20,00,50,00,72,00,69,00,6e,00,74,00,20,00,50,00,72,00,6f,00,76,00,69,00,64,00,65,00,72,00,00,00,4c,00,61,00,6e,00,4d,00,61,00,6e,00,20,00,50,00,72,00,69,00,6e,00,74,00,20,00,53,00,65,00,72,00,76,00,69,00,63,00,65,00,73,00,00,00,00,00
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Print\Providers\Internet Print Provider]
"Name"="inetpp.dll"
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Print\Providers\LanMan Print Services]
"Name"="win32spl.dll"
[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Ports]
"COM1:"="9600,n,8,1"
"COM2:"="9600,n,8,1"
"COM3:"="9600,n,8,1"
"COM4:"="9600,n,8,1"
"FILE:"=""
"LPT1:"=""
"LPT2:"=""
"LPT3:"=""
"PORTPROMPT:"=""
"nul:"=""
[HKEY_USERS\{SID}\Printers\Connections]
[HKEY_USERS\{SID}\Software\Microsoft\Windows NT\CurrentVersion\Devices]
[HKEY_USERS\{SID}\Software\Microsoft\Windows NT\CurrentVersion\PrinterPorts]
[HKEY_USERS\{SID}\Software\Microsoft\Windows NT\CurrentVersion\Windows]
)REG";

}  // namespace

std::string EmulatedSpooler::SeedRegistryText() {
  return kSeed;
}

std::vector<std::string> EmulatedSpooler::Folders(const MachineConfig& config) {
  const std::string spool = config.szWindowsDir + "\\System32\\spool";
  const std::string own = config.b64Bit ? "x64" : "W32X86";
  return {spool + "\\drivers\\" + own + "\\3", spool + "\\prtprocs\\" + own, spool + "\\PRINTERS"};
}

}  // namespace platform::emulated
