#include "payload/journal_format.h"
#include "payload/staging_names.h"
#include "setup/crc32.h"
#include "setup/paths.h"
#include "setup/product.h"
#include "setup/text.h"

JournalRow g_journal[JournalRows];
int g_journalRows;

static const unsigned char Magic[4] = {'Q', 'M', 'J', '1'};

bool TaggedName(const char *base, const char *suffix, unsigned tag, char *out, size_t size)
{
    char digits[8] = ".";
    int length = 1;
    for (unsigned rest = tag; rest; rest /= 10)
        ++length;
    digits[length] = 0;
    for (unsigned rest = tag; rest; rest /= 10)
        digits[--length] = char('0' + rest % 10);
    if (CopyText(out, size, base) && (tag == 0 || AppendText(out, size, digits)) && AppendText(out, size, suffix))
        return true;
    out[0] = 0;
    return false;
}

// Letters of either case are the same letter; a two-byte letter is compared
// as it stands, its second byte too.
static const char *Matching(const char *name, const char *part)
{
    while (*part) {
        const char *next = NextChar(part);
        if (next - part == 1) {
            char a = *name, b = *part;
            if (a >= 'A' && a <= 'Z')
                a = char(a - 'A' + 'a');
            if (b >= 'A' && b <= 'Z')
                b = char(b - 'A' + 'a');
            if (a != b)
                return 0;
        } else if (name[0] != part[0] || name[1] != part[1]) {
            return 0;
        }
        name += next - part;
        part = next;
    }
    return name;
}

int TagOf(const char *name, const char *base, const char *suffix)
{
    const char *at = Matching(name, base);
    if (!at)
        return -1;
    const char *end = Matching(at, suffix);
    if (end && !*end)
        return 0;
    if (*at != '.' || at[1] < '1' || at[1] > '9')
        return -1;
    int tag = 0;
    for (++at; *at >= '0' && *at <= '9' && tag < JournalTags; ++at)
        tag = tag * 10 + (*at - '0');
    end = tag < JournalTags ? Matching(at, suffix) : 0;
    return end && !*end ? tag : -1;
}

void StagedNameParts(const char *target, const char **base, const char **suffix)
{
    bool program = TagOf(target, ProgramFileName, "") == 0;
    *base = program ? ImageBaseName : target;
    *suffix = program ? TmpSuffix : NewSuffix;
}

size_t EncodeJournal(unsigned char *out, size_t size)
{
    size_t at = sizeof Magic;
    if (size < at + 4)
        return 0;
    CopyBytes(out, Magic, sizeof Magic);
    for (int row = 0; row < g_journalRows; ++row) {
        const JournalRow &entry = g_journal[row];
        if (size - at < 4)
            return 0;
        for (int byte = 0; byte < 4; ++byte)
            out[at++] = static_cast<unsigned char>(entry.attributes >> (8 * byte));
        const char *names[] = {entry.target, entry.staged, entry.aside};
        for (const char *name : names) {
            size_t length = TextLength(name) + 1;
            if (size - at < length)
                return 0;
            CopyBytes(out + at, name, length);
            at += length;
        }
    }
    if (size - at < 4)
        return 0;
    uint32_t crc = Crc32(0, out, at);
    for (int byte = 0; byte < 4; ++byte)
        out[at++] = static_cast<unsigned char>(crc >> (8 * byte));
    return at;
}

// A name ended by its NUL, within JournalNameSize.
static size_t TakeName(const unsigned char *bytes, size_t count, char *out)
{
    size_t length = 0;
    while (length < count && bytes[length])
        ++length;
    if (length == count || length >= JournalNameSize)
        return 0;
    CopyBytes(out, bytes, length + 1);
    return length + 1;
}

// A file of the release, and its staged and set-aside names made from its
// own: so none leads out of the folder.
static bool IsOwnRow(const JournalRow &row)
{
    const char *base, *suffix;
    StagedNameParts(row.target, &base, &suffix);
    return IsReleaseFile(row.target) && TagOf(row.staged, base, suffix) >= 0 &&
           TagOf(row.aside, row.target, OldSuffix) >= 0;
}

JournalState DecodeJournal(const unsigned char *bytes, size_t count)
{
    g_journalRows = 0;
    // Cut short, even to nothing, it is still the journal's first bytes.
    for (size_t byte = 0; byte < sizeof Magic && byte < count; ++byte)
        if (bytes[byte] != Magic[byte])
            return NotAJournal;
    if (count < sizeof Magic + 4)
        return TornJournal;
    size_t end = count - 4;
    uint32_t crc = 0;
    for (int byte = 3; byte >= 0; --byte)
        crc = crc << 8 | bytes[end + byte];
    if (Crc32(0, bytes, end) != crc)
        return TornJournal;
    size_t at = sizeof Magic;
    while (at < end) {
        if (g_journalRows == JournalRows || end - at < 4)
            return TornJournal;
        JournalRow &row = g_journal[g_journalRows];
        row.attributes = 0;
        for (int byte = 3; byte >= 0; --byte)
            row.attributes = row.attributes << 8 | bytes[at + byte];
        at += 4;
        char *names[] = {row.target, row.staged, row.aside};
        for (char *name : names) {
            size_t taken = TakeName(bytes + at, end - at, name);
            if (!taken)
                return TornJournal;
            at += taken;
        }
        g_journalRows += IsOwnRow(row);     // any other is not for this program to act on
    }
    return WholeJournal;
}
