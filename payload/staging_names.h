// The names the installer gives files beside the ones it installs while it
// writes them (payload/install.cpp), and the journal that lists them
// (payload/journal.h).  A name of this form is the installer's only where a
// journal of its run lists it: without one, a file of such a name is the
// user's, and the run takes the next free tag for its own (tips.txt.new,
// then tips.txt.1.new, tips.txt.2.new ...).
#pragma once

inline const char JournalFileName[] = "Quillmark setup.jnl";  // a run in progress, and its names
inline const char ImageBaseName[] = "image";    // image.tmp: the program, staged
inline const char TmpSuffix[] = ".tmp";
inline const char NewSuffix[] = ".new";         // after any other file's name: staged
inline const char OldSuffix[] = ".old";         // after a replaced file's name: set aside
