// A run's journal in the folder it writes into, for both programs: written
// and flushed before the run makes the first name of its own there (a file
// staged beside the one it becomes, a new file under its name, a replaced
// file set aside), removed once the run has finished or been undone.  Only
// the names a journal lists are ever taken for the installer's; so a run
// stopped at any moment is finished or undone by the next run of either
// program, and a file of the user's that only looks alike is never touched.
#pragma once
#include "payload/journal_format.h"
#include "setup/product.h"

// The paths of `row`'s three names in `folder`; false when one does not fit.
bool RowPaths(const char *folder, const JournalRow &row, char *target, char *staged, char *aside);

// Writes g_journal into `folder` as a new file, in one write, flushed.  False,
// the last error saying why, when it cannot: a file of the journal's name
// that is not a journal of a run of ours (see RecoverFolder) is left alone.
bool BeginJournal(const char *folder);

// The run is over: its journal goes.
void EndJournal(const char *folder);

// Undoes the run of g_journal in `folder`: each file it set aside takes its
// name again, with the attributes it had, a file of the release that was not
// there before goes, and then the staged copies.  In that order, so that a
// stop in the middle still leaves a staged copy, and the next run undoes the
// rest.  True when everything went.
bool RollBack(const char *folder);

// Completes the run of g_journal in `folder`, where every file has taken its
// name: the files set aside go.  True when everything went.
bool RollForward(const char *folder);

// What a run stopped part-way left in `folder`, by its journal: completed
// where every file had taken its name (no staged copy is left: a run stages
// its first file until every file is written), else undone; then the
// journal goes.  A journal torn by a power cut names nothing the run had
// made yet, and just goes.  Without a journal nothing is touched.
void RecoverFolder(const char *folder);

// The uninstaller's temporary name `number` in `folder`: qmk, the number's
// last four hex digits, .tmp, as GetTempFileNameA would make it.
bool UninstallerTempName(const char *folder, unsigned number, PathBuffer out);

// Copies of the uninstaller under its temporary names (qmk, four
// characters, .tmp) in `folder` that are `size` bytes of CRC-32 `crc`: the
// uninstaller's own, left when a run of it was stopped after it moved itself
// there.  Each goes, or, in use, is queued to go at the next restart.
void ClearUninstallerCopies(const char *folder, uint32_t size, uint32_t crc);
