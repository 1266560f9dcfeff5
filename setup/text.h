// Bounded text operations on NUL-terminated 8-bit strings.  Every copy and
// join in the program goes through these, so no input can overrun a buffer.
// They call nothing outside this file.
#pragma once
#include <stddef.h>

size_t TextLength(const char *text);

// Copies `source` into `out` of `size` bytes.  True when it fits; when it
// does not, `out` is left empty and the result is false: a cut-off path would
// name another file.
bool CopyText(char *out, size_t size, const char *source);

// Appends `tail` to the text already in `out`.  True when it fits; when it
// does not, `out` keeps its previous text and the result is false.
bool AppendText(char *out, size_t size, const char *tail);

// AppendText for UTF-16 text, `size` counted in characters.
bool AppendWideText(wchar_t *out, size_t size, const wchar_t *tail);

// Copies `count` bytes.
void CopyBytes(void *out, const void *source, size_t count);

// Sets `count` bytes to zero.
void ClearBytes(void *out, size_t count);
