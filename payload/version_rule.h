// Whether a program file already in the install folder may be replaced, from
// the version numbers read out of it.  The program we carry is version 1.0.0.0.
#pragma once

enum VersionVerdict {
    SameVersion,        // major 1, third and fourth fields 0: replace
    NewerVersion,       // major 1, a later third or fourth field: leave it alone
    ForeignVersion      // any other major, or no version at all: say so, then replace
};

// `major`: high word of the file version's first half; `ls`: its second half.
VersionVerdict JudgeVersion(unsigned major, unsigned long ls);
