// The well-known accounts of the machine ($Everyone ... $LocalCertsvcDCOMAccessGroup) and the
// four domain accounts ($DomainAdmin, $DomainGuest, $DomainAdmins, $DomainUsers). The domain
// accounts need the domain controller, so they are looked up only when a reference asks.
#pragma once

namespace tarvium {

struct SetupRun;

// Fills the account variables with the machine's localized names (NT platforms only).
void FillWellKnownAccounts(SetupRun& run);
// For a table position of a domain account: looks its name up; empty on a workgroup machine.
void FillDomainAccount(SetupRun& run, int index);

}  // namespace tarvium
