#include "setup/text.h"

size_t TextLength(const char *text)
{
    size_t length = 0;
    while (text[length])
        ++length;
    return length;
}

bool CopyText(char *out, size_t size, const char *source)
{
    if (size == 0)
        return false;
    out[0] = 0;
    return AppendText(out, size, source);
}

bool AppendText(char *out, size_t size, const char *tail)
{
    size_t start = 0;
    while (start < size && out[start])
        ++start;
    if (start == size)
        return false;           // no terminator inside the buffer: not ours to extend
    size_t tailLength = TextLength(tail);
    if (tailLength >= size - start)
        return false;
    CopyBytes(out + start, tail, tailLength + 1);
    return true;
}

bool AppendWideText(wchar_t *out, size_t size, const wchar_t *tail)
{
    size_t start = 0, tailLength = 0;
    while (start < size && out[start])
        ++start;
    while (tail[tailLength])
        ++tailLength;
    if (start == size || tailLength >= size - start)
        return false;
    CopyBytes(out + start, tail, (tailLength + 1) * sizeof *tail);
    return true;
}

void CopyBytes(void *out, const void *source, size_t count)
{
    // volatile keeps the compiler from turning the loop into a call to memcpy,
    // which the shipped programs do not have.
    volatile unsigned char *to = static_cast<volatile unsigned char *>(out);
    const unsigned char *from = static_cast<const unsigned char *>(source);
    for (size_t i = 0; i < count; ++i)
        to[i] = from[i];
}

void ClearBytes(void *out, size_t count)
{
    volatile unsigned char *to = static_cast<volatile unsigned char *>(out);
    for (size_t i = 0; i < count; ++i)
        to[i] = 0;
}
