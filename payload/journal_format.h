// The journal of a run, as bytes and names: what payload/journal.h writes
// into a folder before a run makes any name of its own there, and reads back
// after a run that was stopped.  Text and bytes only; it calls nothing
// outside this file but the bounded text and CRC helpers, and IsReleaseFile.
//
// The file: the four bytes "QMJ1", then for each file of the run its
// attributes before the run (32 bits, little-endian), then its name, its
// staged name and its set-aside name, each ended by a NUL; last, the CRC-32
// of everything before it.  Written in one piece, so a stopped run leaves it
// whole or not at all; only a power cut can tear it, and then it names
// nothing the run had made yet.
#pragma once
#include <stddef.h>
#include <stdint.h>

enum {
    JournalNameSize = 64,       // a file name of the folder, with its NUL
    JournalRows = 32,           // files a run may write into one folder
    JournalTags = 16,           // free names tried for each staged or set-aside copy
    JournalBytes = 8 + JournalRows * (4 + 3 * JournalNameSize)
};
inline const uint32_t NoFile = 0xFFFFFFFFu;   // no file of the name was there

struct JournalRow {
    char target[JournalNameSize];   // the file's name
    char staged[JournalNameSize];   // its new content, until that takes the name
    char aside[JournalNameSize];    // the file it replaces, until the run ends
    uint32_t attributes;            // the target's before the run, or NoFile
};

// The journal of the run at hand, or of the one read back.
extern JournalRow g_journal[JournalRows];
extern int g_journalRows;

// Whether `name` is a file that a release of the program installs: only
// those a journal may name.  Each program defines it from its own table.
bool IsReleaseFile(const char *name);

// `base`, then "." and `tag` unless it is 0, then `suffix`: tips.txt.new,
// tips.txt.1.new.  False, with `out` empty, when that does not fit.
bool TaggedName(const char *base, const char *suffix, unsigned tag, char *out, size_t size);

// The tag of `name` when it is `base`, a tag and `suffix` as TaggedName
// makes them (letters of either case), else -1.
int TagOf(const char *name, const char *base, const char *suffix);

// Where the staged copy of `target` goes: image.tmp for the program,
// target.new for any other file (before the tag is chosen).
void StagedNameParts(const char *target, const char **base, const char **suffix);

// g_journal as the file's bytes into `out`; their count, or 0 when they do
// not fit in `size`.
size_t EncodeJournal(unsigned char *out, size_t size);

// What `count` bytes read back are: not a journal at all (a file of the
// user's under its name), one cut short (a stop while it was written) or
// torn by a power cut, or a whole
// journal, whose rows are then in g_journal: only those that name a file of
// the release, with staged and set-aside names made from its name, and no
// name that leads out of the folder.
enum JournalState { NotAJournal, TornJournal, WholeJournal };
JournalState DecodeJournal(const unsigned char *bytes, size_t count);
