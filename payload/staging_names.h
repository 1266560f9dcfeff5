// The names the installer gives files beside the ones it installs while it
// writes them (payload/install.cpp).  Fixed, so that what a run stopped
// part-way left is known for the installer's own: by its next run, and by the
// uninstaller, which removes them with the files.
#pragma once

static const char StagingFileName[] = "data.tmp";  // an entry on its way to being expanded
static const char ImageFileName[] = "image.tmp";   // the program, staged
static const char NewSuffix[] = ".new";            // after any other file's name: staged
static const char OldSuffix[] = ".old";            // after a replaced file's name: set aside
