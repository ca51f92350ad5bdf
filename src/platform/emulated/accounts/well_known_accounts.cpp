#include "platform/emulated/accounts/well_known_accounts.h"

namespace platform::emulated {
namespace {

enum Authority { kNone, kNt, kBuiltin };

struct Row {
  const char* sid;
  Authority authority;
  const char* english;
  const char* german;
  const char* french;
};

// Names as the localized Windows versions show them (Windows-1252 escapes for accents).
const Row kRows[] = {
    {"S-1-1-0", kNone, "Everyone", "Jeder", "Tout le monde"},
    {"S-1-2-0", kNone, "LOCAL", "LOKAL", "LOCAL"},
    {"S-1-3-0", kNone, "CREATOR OWNER", "ERSTELLER-BESITZER", "CREATEUR PROPRIETAIRE"},
    {"S-1-5-1", kNt, "DIALUP", "DF\xDC", "LIGNE"},
    {"S-1-5-2", kNt, "NETWORK", "NETZWERK", "RESEAU"},
    {"S-1-5-3", kNt, "BATCH", "BATCH", "BATCH"},
    {"S-1-5-4", kNt, "INTERACTIVE", "INTERAKTIV", "INTERACTIF"},
    {"S-1-5-6", kNt, "SERVICE", "DIENST", "SERVICE"},
    {"S-1-5-11", kNt, "Authenticated Users", "Authentifizierte Benutzer",
     "Utilisateurs authentifi\xE9s"},
    {"S-1-5-18", kNt, "SYSTEM", "SYSTEM", "Syst\xE8me"},
    {"S-1-5-19", kNt, "LOCAL SERVICE", "LOKALER DIENST", "SERVICE LOCAL"},
    {"S-1-5-20", kNt, "NETWORK SERVICE", "NETZWERKDIENST", "SERVICE R\xC9SEAU"},
    {"S-1-5-32-544", kBuiltin, "Administrators", "Administratoren", "Administrateurs"},
    {"S-1-5-32-545", kBuiltin, "Users", "Benutzer", "Utilisateurs"},
    {"S-1-5-32-546", kBuiltin, "Guests", "G\xE4ste", "Invit\xE9s"},
    {"S-1-5-32-547", kBuiltin, "Power Users", "Hauptbenutzer", "Utilisateurs avec pouvoir"},
    {"S-1-5-32-548", kBuiltin, "Account Operators", "Konten-Operatoren", "Op\xE9rateurs de compte"},
    {"S-1-5-32-549", kBuiltin, "Server Operators", "Server-Operatoren", "Op\xE9rateurs de serveur"},
    {"S-1-5-32-550", kBuiltin, "Print Operators", "Druck-Operatoren", "Op\xE9rateurs d'impression"},
    {"S-1-5-32-551", kBuiltin, "Backup Operators", "Sicherungs-Operatoren",
     "Op\xE9rateurs de sauvegarde"},
    {"S-1-5-32-552", kBuiltin, "Replicator", "Replikations-Operator", "Duplicateurs"},
    {"S-1-5-32-553", kBuiltin, "RAS and IAS Servers", "RAS- und IAS-Server", "Serveurs RAS et IAS"},
    {"S-1-5-32-555", kBuiltin, "Remote Desktop Users", "Remotedesktopbenutzer",
     "Utilisateurs du Bureau \xE0 distance"},
    {"S-1-5-32-561", kBuiltin, "Terminal Server License Servers", "Terminalserver-Lizenzserver",
     "Serveurs de licences des services Terminal Server"},
    {"S-1-5-32-562", kBuiltin, "Distributed COM Users", "Distributed COM-Benutzer",
     "Utilisateurs du mod\xE8le COM distribu\xE9"},
    {"S-1-5-32-568", kBuiltin, "IIS_IUSRS", "IIS_IUSRS", "IIS_IUSRS"},
    {"S-1-5-32-574", kBuiltin, "Certificate Service DCOM Access", "Zertifikatdienst-DCOM-Zugriff",
     "Acc\xE8s DCOM au service de certificats"},
};

const char* Localized(const Row& row, unsigned nLanguage) {
  if (nLanguage == 0x0407) return row.german;
  if (nLanguage == 0x040C) return row.french;
  return row.english;
}

std::string AuthorityName(Authority authority, unsigned nLanguage) {
  switch (authority) {
    case kNt:
      return nLanguage == 0x0407   ? "NT-AUTORIT\xC4T"
             : nLanguage == 0x040C ? "AUTORITE NT"
                                   : "NT AUTHORITY";
    case kBuiltin:
      return nLanguage == 0x0407 ? "VORDEFINIERT" : "BUILTIN";
    default:
      return "";
  }
}

}  // namespace

std::vector<AccountName> WellKnownAccounts(unsigned nLanguage) {
  std::vector<AccountName> accounts;
  accounts.reserve(std::size(kRows));
  for (const Row& row : kRows)
    accounts.push_back(
        {row.sid, Localized(row, nLanguage), AuthorityName(row.authority, nLanguage)});
  return accounts;
}

}  // namespace platform::emulated
