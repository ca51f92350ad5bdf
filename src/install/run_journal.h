// The journal of an installation run, kept in the product's record so that a run killed part-way
// never leaves its counts standing. While the run changes the product's bookkeeping the record
// holds the key "Setup\InProgress": its value Registered tells whether the product was
// registered when the run began, Started when it began (a file time), MadeKey names the highest key
// the journal had to make (an undone first install takes it away again when it stayed empty), and
// its subkeys Sections, SharedDLLs and Options hold, for each section use count, shared-file count
// and option value the run changed, what it was before the run. The run deletes the key in the same
// change of the registry as the registration, or when it ends aborted. A killed run leaves it
// behind; the next run of the product (an install or a removal) finds it before it decides
// anything, puts the noted values back and, when the product was not registered before, cleans up
// as an aborted first install does. The files and settings the killed run changed stay; the next
// install brings them to its own result, and puts right the attributes of the files it finds equal,
// which the killed process may not have kept. A removal counts every option the killed run came to
// as installed, so that their files go too, and after a killed first install keeps an empty journal
// for the install that follows.
#pragma once
#include <string>

namespace tarvium {

struct SetupRun;

enum class JournalPart { Sections, SharedFiles, Options };

// Opens the journal at the start of an installation run that is no removal, administrator setup
// or test run, of a product with a MachineKeyName.
void OpenRunJournal(SetupRun& run, bool bRegisteredBefore);

// Whether a value of the part is still to be noted: the journal is open and this run has not
// noted the name yet.
bool NeedsNote(SetupRun& run, JournalPart part, const std::string& name);
// Notes what the value was before the run: a section's count ("0" without a value), a shared
// file's count (see SharedFileCountBeforeRun), an option's "1" or "0".
void NoteValueBeforeRun(SetupRun& run, JournalPart part, const std::string& name,
                        const std::string& before);
// Replaces a note this run made (a shared file's note adds what the run counted); false when the
// journal is closed or the note was never made.
bool RewriteNote(SetupRun& run, JournalPart part, const std::string& name, const std::string& text);
// The note this run made of the value, empty when there is none.
std::string NoteOf(SetupRun& run, JournalPart part, const std::string& name);
// Notes the value before its first change in this run; `before` tells what it is.
template <class Before>
void NoteBeforeChange(SetupRun& run, JournalPart part, const std::string& name, Before&& before) {
  if (NeedsNote(run, part, name)) NoteValueBeforeRun(run, part, name, before());
}

// Deletes the journal: what the run did stands. The registration calls it inside its own change.
void CloseRunJournal(SetupRun& run);

// The end of an aborted install: a product registered before keeps what the run did; otherwise
// the noted values go back, the record's keys and the registration go, and the journal with them.
// What the registry refuses is shown (5519) and stays noted for the next run to undo.
void EndAbortedInstall(SetupRun& run, bool bRegisteredBefore);

// Undoes the journal that a killed run of this product left (in the machine's record, else the
// user's). False when the registry refused it and 5519 was not answered with Ignore.
bool RecoverInterruptedRun(SetupRun& run);

// Whether this run undid a killed run's journal: the install then checks the attributes of the
// files it finds equal.
bool FollowsInterruptedRun(SetupRun& run);
// Whether a file with this last-write time may have been written by the killed run: this run
// follows one, and the time is not from before it began.
bool MayBeFromInterruptedRun(SetupRun& run, uint64_t ftLastWrite);

}  // namespace tarvium
