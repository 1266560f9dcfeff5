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

// Right before Unpack (its helpers follow it), where tools/pack_code.py finds
// it by the entry point.  The linker fills in the first two (and the loader
// relocates them), the packing the next four; Unpack moves `in` on as it
// reads the packed bytes, and keeps the bits of the last one in `bits`.
struct PackedCode {
    unsigned char *start;       // of the code and data
    unsigned char *end;
    unsigned linkedStart;       // where start was linked
    const unsigned char *in;    // the packed bytes, where they were linked
    unsigned low, span;         // the addresses a relocation can hold, as linked
    unsigned bits;              // see Bit
};

// Marked by tools/ship.ld.
extern unsigned char codeStart[] __asm__("___code_start");
extern unsigned char codeEnd[] __asm__("___code_end");

// The bits of the byte being read are shifted out at bit 8, followed by a 1,
// and when only that 1 is left the next byte comes in.
const unsigned BIT_OUT = 8, BITS_KEPT = 0x1FF, BITS_LEFT = 0xFF, NO_BITS = 0x80;

// Its fields are read and written from outside the program's view (the
// loader, the packing): nothing the compiler may assume from their first
// values.
__attribute__((section(".unpack$a"))) PackedCode g_packed = {codeStart, codeEnd, 0, 0, 0, 0, NO_BITS};

namespace {

// A 32-bit value anywhere.
typedef unsigned __attribute__((may_alias, aligned(1))) Word;

const unsigned OFFSET_LOW_BITS = 8;
const unsigned CALL = 0xE8, JUMP = 0xE9, CALL_OR_JUMP_MASK = 0xFE;
const unsigned CALL_SIZE = 5;                 // opcode and 32-bit target
const unsigned ADDRESS_SIZE = 4;

UNPACK_HELPER unsigned Bit()
{
    unsigned bits = g_packed.bits << 1 & BITS_KEPT;
    if (!(bits & BITS_LEFT))
        bits = *g_packed.in++ << 1 | 1;
    g_packed.bits = bits;
    return bits >> BIT_OUT;
}

UNPACK_HELPER unsigned Gamma()
{
    unsigned value = 1;
    while (Bit())
        value = value << 1 | Bit();
    return value;
}

} // namespace

extern "C" [[noreturn]] __attribute__((section(".unpack$b"))) void Unpack()
{
    unsigned char *const start = g_packed.start, *const end = g_packed.end;
    const unsigned delta = unsigned(start) - g_packed.linkedStart;
    g_packed.in += delta;
    unsigned char *out = start;
    unsigned offset = 0;
    enum { LITERALS, REPEAT, NEW_OFFSET } kind = LITERALS;
    for (;;) {
        if (kind == NEW_OFFSET) {
            offset = (Gamma() - 1) << OFFSET_LOW_BITS;
            offset += *g_packed.in++ + 1;
        }
        unsigned length = Gamma() + (kind == NEW_OFFSET);
        const unsigned char *from;
        if (kind == LITERALS) {
            from = g_packed.in;
            g_packed.in += length;
        } else {
            from = out - offset;
        }
        while (length--)
            *out++ = *from++;
        if (out == end)
            break;
        kind = Bit() ? NEW_OFFSET : kind == LITERALS ? REPEAT : LITERALS;
    }
    for (unsigned char *at = start; at + CALL_SIZE <= end;) {
        if ((*at & CALL_OR_JUMP_MASK) == (CALL & JUMP)) {
            *reinterpret_cast<Word *>(at + 1) -= unsigned(at + CALL_SIZE - start);
            at += CALL_SIZE;
        } else {
            ++at;
        }
    }
    // Relocated: every 4 bytes that hold an address in the program, found
    // as the packing found them, but where the list of exceptions says
    // otherwise.
    unsigned char *exception = start + Gamma() - 1;
    for (unsigned char *at = start; at + ADDRESS_SIZE <= end;) {
        Word *word = reinterpret_cast<Word *>(at);
        bool address = *word - g_packed.low < g_packed.span;
        if (at == exception) {
            address = !address;
            exception += Gamma();
        }
        if (address) {
            *word += delta;
            at += ADDRESS_SIZE;
        } else {
            ++at;
        }
    }
    EntryPoint();   // which ends the process
    __builtin_unreachable();
}
