// Path helpers: text operations only.
//
// Paths are text in the system's ANSI code page, where in the double-byte
// code pages (932, 936, 949, 950) one letter takes two bytes and its second
// byte may be any byte from 0x40 up, a backslash's 0x5C among them (the
// katakana so is 83 5C).  So a path is read a character at a time from its start, never a
// byte at a time and never backwards.  Which bytes lead a two-byte letter is
// the platform's to say: IsLeadByte is defined by the programs as the
// system's own test (setup/code_page.cpp) and by the host tests as a code
// page of theirs.
#pragma once
#include "setup/product.h"

// Whether `byte` is the first of a two-byte letter in the code page in use.
bool IsLeadByte(unsigned char byte);

// The character after the one at `at`.  A lead byte with nothing after it is
// a character of its own; the end of the text stays where it is.
const char *NextChar(const char *at);

// Whether the last character of `path` is a backslash.
bool EndsInBackslash(const char *path);

// Removes the backslash that ends `path`, if one does.
void DropTrailingBackslash(char *path);

// `out` = `folder`, a backslash unless `folder` is empty or already ends in
// one, then `name`.  False, with `out` left empty, when the result would not
// fit a PathBuffer.
bool JoinPath(const char *folder, const char *name, PathBuffer out);

// `out` = the root of `path`'s drive: the characters before its first
// backslash, then a backslash ('D:\Work\Scripts' gives 'D:\'); for a network
// path, its server and share ('\\server\share\temp' gives '\\server\share\').
// False, with `out` left empty, when that would not fit.
bool DriveRootOf(const char *path, PathBuffer out);

// The program a command line starts, into `out`: the text inside its first
// pair of double quotes; unquoted, the text up to the first ".exe" that ends
// a word (a path may hold blanks of its own).  What follows, the arguments,
// is left out.  False, with `out` empty, when that does not fit.
bool CommandProgram(const char *command, PathBuffer out);
