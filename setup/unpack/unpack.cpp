// The first code setup.exe runs.  Its code and data are stored packed
// (tools/pack_code.py, tools/lz_bits.py tells how) and only the import
// tables, this and the block below are in the file as they are; the loader
// fills the rest of the section with zeros.  Unpack expands the code and data
// into it, puts back the call targets that the packing made absolute,
// relocates the addresses in them by as much as the loader moved the program,
// then runs the installer.  It imports nothing, and everything it uses is in
// the sections named here, which tools/ship.ld places before the code.
#define UNPACK_HELPER __attribute__((section(".unpack$c"), noinline))

extern "C" void EntryPoint();

namespace {

// Right before Unpack (its helpers follow it), where tools/pack_code.py finds
// it by the entry point.
// The linker fills in the first two (and the loader relocates them), the
// packing the others.
struct PackedCode {
    unsigned char *start;       // of the code and data
    unsigned char *end;
    unsigned linkedStart;       // where start was linked
    unsigned stream;            // the packed bytes, where they were linked
};

// Marked by tools/ship.ld.
extern unsigned char codeStart[] __asm__("___code_start");
extern unsigned char codeEnd[] __asm__("___code_end");

__attribute__((section(".unpack$a"), used)) volatile PackedCode s_packed = {codeStart, codeEnd, 0, 0};

// A 32-bit value anywhere.
typedef unsigned __attribute__((may_alias, aligned(1))) Word;

const unsigned OFFSET_LOW_BITS = 8;
const unsigned CALL = 0xE8, JUMP = 0xE9, CALL_OR_JUMP_MASK = 0xFE;
const unsigned CALL_SIZE = 5;                 // opcode and 32-bit target
const unsigned RELOCATION_STEP_MIN = 3;       // a relocation ends 4 bytes on, less the gamma code's 1

// The bits of the byte being read are shifted out at bit 8, followed by a 1,
// and when only that 1 is left the next byte comes in.
const unsigned BIT_OUT = 8, BITS_KEPT = 0x1FF, BITS_LEFT = 0xFF, NO_BITS = 0x80;

struct Bits {
    const unsigned char *in;
    unsigned current;
};

UNPACK_HELPER unsigned Bit(Bits *bits)
{
    unsigned current = bits->current << 1 & BITS_KEPT;
    if (!(current & BITS_LEFT))
        current = *bits->in++ << 1 | 1;
    bits->current = current;
    return current >> BIT_OUT;
}

UNPACK_HELPER unsigned Gamma(Bits *bits)
{
    unsigned value = 1;
    while (Bit(bits))
        value = value << 1 | Bit(bits);
    return value;
}

} // namespace

extern "C" __attribute__((section(".unpack$b"))) void Unpack()
{
    unsigned char *const start = s_packed.start, *const end = s_packed.end;
    const unsigned delta = unsigned(start) - s_packed.linkedStart;
    Bits bits = {reinterpret_cast<const unsigned char *>(s_packed.stream + delta), NO_BITS};
    unsigned char *out = start;
    unsigned offset = 0, length;
    goto literals;
    for (;;) {
        // after a match
        if (out == end)
            break;
        if (Bit(&bits))
            goto newOffset;
    literals:
        for (length = Gamma(&bits); length; --length)
            *out++ = *bits.in++;
        if (out == end)
            break;
        if (!Bit(&bits)) {
            length = Gamma(&bits);
            goto copy;
        }
    newOffset:
        offset = ((Gamma(&bits) - 1) << OFFSET_LOW_BITS | *bits.in++) + 1;
        length = Gamma(&bits) + 1;
    copy:
        for (; length; --length, ++out)
            *out = out[-offset];
    }
    for (unsigned char *at = start; at + CALL_SIZE <= end;) {
        if ((*at & CALL_OR_JUMP_MASK) == (CALL & JUMP)) {
            *reinterpret_cast<Word *>(at + 1) -= unsigned(at + CALL_SIZE - start);
            at += CALL_SIZE;
        } else {
            ++at;
        }
    }
    for (unsigned at = unsigned(-4);;) {
        at += Gamma(&bits) + RELOCATION_STEP_MIN;
        if (at >= unsigned(end - start))
            break;
        *reinterpret_cast<Word *>(start + at) += delta;
    }
    EntryPoint();
}
