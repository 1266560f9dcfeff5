// The text checks a folder must pass before the installer will use it.  They
// look only at the text; the drive type and the folder itself are the
// validation's business.
#pragma once

// 'X:\...' with X a letter.  Relative paths, UNC paths and bare drives fail.
bool HasDriveForm(const char *path);

// Removes every trailing backslash: 'D:\Apps\\' becomes 'D:\Apps', 'D:\' 'D:'.
void TrimTrailingBackslashes(char *path);

// Removes what Windows leaves off the end of a folder's name, so that the
// whole run uses the name the folder really gets: every trailing backslash,
// and trailing spaces and dots ('C:\Apps\Quillmark .\' becomes
// 'C:\Apps\Quillmark', 'D:\' 'D:').  A last part of nothing but dots and
// spaces ('..') is left for CanNameFiles to refuse.
void TrimFolderEnd(char *path);

// Whether every character of `path` may stand in a file's path: no control
// character, none of ? * " < > |, and a colon only after the drive letter;
// and every part names something ('.', '..' and parts of spaces do not).  A
// letter the code page cannot spell reaches the program as '?', so a path
// through a folder of such a name fails here.
bool CanNameFiles(const char *path);

// Room is left for the program's file name and a margin of 20 characters
// within a PathBuffer: with "Quillmark.exe" the longest folder is 227.
bool FolderLengthFits(const char *path);
