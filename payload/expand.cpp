#include "payload/expand.h"

static const uint8_t Signature[] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};
enum { MethodAt = sizeof Signature, HeaderSize = 14, RingSize = 4096, RingStart = 0xFF0, MinMatch = 3 };
static const uint8_t Method = 'A';

static bool IsSzddImage(const uint8_t *image, uint32_t size)
{
    if (size < HeaderSize)
        return false;
    for (uint32_t at = 0; at < MethodAt; ++at)
        if (image[at] != Signature[at])
            return false;
    return true;
}

// Made for speed rather than size: the one loop of the installer that runs
// for every byte it expands (1.5 MB), which takes two thirds of the time it
// takes made as small as can be, for 68 bytes more (34 packed).
__attribute__((optimize("O2")))
uint32_t ExpandImage(const uint8_t *image, uint32_t size, uint8_t *out, uint32_t capacity)
{
    if (!IsSzddImage(image, size)) {
        if (size > capacity)
            return NotExpanded;
        for (uint32_t at = 0; at < size; ++at)
            out[at] = image[at];
        return size;
    }
    if (image[MethodAt] != Method)
        return NotExpanded;
    const uint8_t *in = image + HeaderSize, *end = image + size;
    uint32_t done = 0;
    // The control byte's bits still to use, with ones above them shifted
    // down in step: once bit 8 is clear, all eight have been used.
    for (unsigned control = 0;; control >>= 1) {
        if (!(control & 0x100)) {
            if (in == end)
                break;
            control = *in++ | 0xFF00;
        }
        if (in == end)
            break;
        if (control & 1) {
            if (done == capacity)
                return NotExpanded;
            out[done++] = *in++;
            continue;
        }
        if (end - in < 2)
            break;
        uint32_t slot = in[0] | (in[1] & 0xF0) << 4, length = (in[1] & 0x0F) + MinMatch;
        in += 2;
        if (length > capacity - done)
            return NotExpanded;
        // The ring's slot of output byte p is (RingStart + p) % RingSize, so
        // the slot holds the byte `distance` back, or a space of the ring's
        // start before the first; a distance of 0 is the whole ring.  Byte
        // by byte: a match may run into the bytes it makes.
        uint32_t distance = (RingStart + done - slot) % RingSize;
        if (distance == 0)
            distance = RingSize;
        uint8_t *to = out + done;
        done += length;
        if (distance <= done - length)
            for (const uint8_t *from = to - distance; length; --length)
                *to++ = *from++;
        else
            for (uint32_t back = done - length; length; --length, ++back)
                *to++ = back >= distance ? out[back - distance] : ' ';
    }
    return done;
}
