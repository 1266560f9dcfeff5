"""The spelling dictionary (main.dct) with its lookup tables (bucket.bin,
table1.bin, table2.bin), and the thesaurus (thes.bin).

The word list is made here rather than read from the system: the words of
the help file, the tips and the sample scripts, their regular inflections,
and enough English-looking words drawn from a letter model of those words to
make a dictionary of WORD_COUNT entries.  Everything is seeded, so the lists
and files are the same on every run.

main.dct, little-endian:
    0   8  "QMDICT" 1A 01
    8   4  number of words
   12   4  words to a block (BLOCK_WORDS)
   16   4  number of blocks
   20   4  offset of the word data (64)
   24   4  length of the word data
   28   2  language (0x0409)
   30  18  "American English", NUL-padded
   48  16  reserved
   64      word data: words in ascending order, lower case, in blocks of
           BLOCK_WORDS.  The first word of a block is stored whole (length
           byte, letters); each later one as the number of letters it shares
           with the word before, the number of letters that follow, and
           those letters.  Each word ends with its flag byte (WORD_* below).

table1.bin: "QMDT1" 1A 01 00, block count, then per block its offset in
main.dct, the number of its first word and that word (16 bytes, NUL-padded,
cut short if longer); then 26 pairs (first block, first word) for the
letters a to z.

bucket.bin: "QMBKT" 1A 01 00, bucket count (8192), word count, then the
first word of each bucket plus one (0 for an empty bucket), then for each
word the next word of its bucket plus one.  A word's bucket is word_hash()
modulo the bucket count.

table2.bin: "QMDT2" 1A 01 00, then 27 x 27 x 27 counts (16-bit, saturated) of
letter triples in the word list (0 standing for the word's start or end),
then the word count and, sorted, a four-character sound code (soundex()) and
word number for every word: the spelling checker's suggestions.

thes.bin: "QMTHES" 1A 01, headword count, string pool length, offsets of the
index, the meanings and the pool; the index holds per headword the pool
offset of the word, the offset of its first meaning and its meaning count;
a meaning is a part of speech, a synonym count and the pool offsets of the
synonyms; the pool holds NUL-terminated words.
"""
import re
import struct

import helptext
import qmrand
import scripts
import tips

WORD_COUNT = 60000
BLOCK_WORDS = 32
BUCKETS = 8192
SEED = 0x5155494C4C4D4B  # any fixed number

WORD_PROPER = 0x01       # written with a capital letter
WORD_PLURAL = 0x02       # takes -s
WORD_VERB = 0x04         # takes -ed and -ing
WORD_CORPUS = 0x08       # one of the base words
WORD_CONTRACTION = 0x10  # holds an apostrophe

PROPER_NAMES = [
    'walt', 'brody', 'nora', 'pike', 'edith', 'abernathy', 'rialto', 'dana',
    'soto', 'luis', 'kaplan', 'harold', 'marty', 'vance', 'janet', 'quill',
    'bev', 'hollis', 'pepper', 'eastfield', 'monday', 'tuesday', 'wednesday',
    'thursday', 'friday', 'saturday', 'sunday', 'january', 'february',
    'march', 'april', 'may', 'june', 'july', 'august', 'september',
    'october', 'november', 'december', 'quillmark', 'brenlow', 'windows',
    'courier', 'english', 'american', 'hollywood', 'broadway', 'london',
    'paris', 'chicago', 'boston', 'texas', 'california', 'york',
]

# Common words that the texts above happen not to use, so that the
# dictionary knows the everyday ones.
EXTRA_WORDS = """
about above across act actor actress after afternoon again against age ago
agree air all almost alone along already also always among and angry animal
answer any anyone anything apple arm army around arrive art ask asleep aunt
autumn away baby back bad bag ball bank bar bath beach bear beautiful because
bed bedroom beer before begin behind believe bell below best better between
bicycle big bird birthday bit bitter black blind blood blue boat body bone
book boot born borrow both bottle bottom box boy brain brave bread break
breakfast breath bridge bright bring brother brown build burn bus business
busy butter buy cake call camera can candle cap captain car card care careful
carry case castle cat catch cause ceiling centre chair chance change cheap
cheese chicken child choose church cigarette circle city class clean clear
climb clock close cloth cloud coat cold colour come comfortable common cook
cool copy corner cost cough count country cousin cover cow crash cream cross
crowd cry cup cut dance danger dark daughter day dead deal dear death decide
deep desk detective die different dinner dirty doctor dog door double doubt
down draw dream dress drink drive drop dry duck during dust early earth east
easy eat edge egg empty end enemy enjoy enough enter evening every exactly
face fact fail fall false family famous far farm fast fat father fear feel
few field fight fill film find fine finger finish fire first fish fit flat
floor flower fly follow food foot forest forget fork free fresh friend front
fruit full funny garden gate girl give glad glass gold good grass great green
grey ground grow guess gun hair half hall hand happen happy hard hat hate
have head hear heart heat heavy hello help here hide high hill hit hold hole
holiday home hope horse hospital hot hotel hour house hungry hurry hurt ice
idea ill important inside island jacket job join joke journey juice jump
kill kind king kitchen knee knife know lady lake lamp land language large
last late laugh lazy lead leaf learn leave left leg lend letter library lie
life light like line lion lip listen little live lock long look lose loud
love low luck lunch machine mad magazine make man many map mark market marry
meat meet middle milk mind minute mirror miss money month moon morning mother
mountain mouse mouth move music name narrow nation near neck need neighbour
nephew nest never new news next nice niece night noise north nose note now
number nurse ocean offer office often oil old open orange order other outside
own page pain paint pair paper parent park party pass pay pen pencil people
pepper person piano picture piece pig pink place plane plant plate play
please pocket poem police pool poor potato pour power present pretty price
prince prison problem promise pull push queen question quick quiet rabbit
race radio rain read ready real reason red remember rest rice rich ride right
ring river road rock roof room rope rough round rule run sad safe sail salt
same sand school sea season seat second secret see sell send sentence serve
shade shake shape share sharp sheep shelf shine ship shirt shoe shoot shop
short shout show shut sick side sign silence silver simple sing sister sit
skin sky sleep slow small smell smile smoke snake snow soap soft soldier son
song soon sorry sound soup south speak spend spring square stage stair stand
star start station stay steal step stick still stone stop storm story street
strong student study sugar summer sun supper sure surprise sweet swim table
tail take talk tall taste taxi tea teach team tear telephone tell test thank
thick thin thing think thirsty throw ticket tiger time tired today together
tomorrow tonight tooth top touch town toy train tree trip trouble true try
turn twice ugly uncle under understand until upstairs use usual valley very
village visit voice wait wake walk wall want war warm wash watch water way
weak wear weather week welcome well west wet wheel white whole wide wife wild
win wind window wine winter wish woman wonder wood word work world worry
write wrong yard year yellow young
"""

# A few meanings written out; the other headwords of the thesaurus are
# grouped by the seeded generator.
SYNONYM_GROUPS = [
    ('adj', 'happy glad cheerful joyful merry content pleased delighted'),
    ('adj', 'sad unhappy sorrowful gloomy downcast miserable blue glum'),
    ('adj', 'big large huge great vast enormous giant immense'),
    ('adj', 'small little tiny slight minute compact petite'),
    ('adj', 'quick fast swift rapid speedy brisk hasty'),
    ('adj', 'slow sluggish leisurely gradual unhurried'),
    ('adj', 'quiet silent still hushed calm peaceful'),
    ('adj', 'loud noisy booming deafening thunderous'),
    ('adj', 'dark dim shadowy gloomy murky black'),
    ('adj', 'bright shining brilliant radiant vivid'),
    ('adj', 'old aged elderly ancient antique worn'),
    ('adj', 'new fresh recent modern novel'),
    ('adj', 'angry cross furious irate mad annoyed'),
    ('adj', 'afraid scared frightened fearful nervous timid'),
    ('adj', 'brave bold daring fearless heroic'),
    ('adj', 'tired weary exhausted sleepy drowsy'),
    ('adj', 'funny comic amusing witty humorous droll'),
    ('adj', 'strange odd peculiar curious unusual weird'),
    ('adj', 'beautiful lovely pretty handsome attractive'),
    ('adj', 'wet damp soaked moist drenched'),
    ('verb', 'say tell speak state declare remark utter'),
    ('verb', 'look see watch observe view glance gaze stare'),
    ('verb', 'walk stroll march pace stride wander amble'),
    ('verb', 'run dash race sprint hurry rush'),
    ('verb', 'take grab seize clutch snatch grasp'),
    ('verb', 'give hand offer present grant pass'),
    ('verb', 'begin start commence open launch'),
    ('verb', 'end finish stop close conclude complete'),
    ('verb', 'think believe consider suppose reckon imagine'),
    ('verb', 'laugh chuckle giggle chortle snicker'),
    ('verb', 'cry weep sob wail whimper'),
    ('verb', 'shout yell call cry bellow holler'),
    ('verb', 'make build create form produce construct'),
    ('verb', 'write compose draft pen scribble record'),
    ('verb', 'change alter modify revise adjust amend'),
    ('verb', 'help aid assist support serve'),
    ('verb', 'throw toss hurl fling pitch'),
    ('verb', 'hide conceal cover mask bury'),
    ('noun', 'story tale narrative account plot yarn'),
    ('noun', 'script screenplay scenario draft text'),
    ('noun', 'house home dwelling residence lodging'),
    ('noun', 'room chamber hall space'),
    ('noun', 'friend companion partner ally mate'),
    ('noun', 'fight battle struggle clash brawl scuffle'),
    ('noun', 'street road avenue lane way'),
    ('noun', 'job work task duty chore'),
    ('noun', 'noise sound din racket clamour'),
    ('noun', 'idea notion thought concept plan'),
    ('noun', 'end finish close conclusion ending finale'),
    ('noun', 'movie film picture feature'),
    ('noun', 'audience crowd house spectators viewers'),
    ('noun', 'scene episode sequence incident'),
]

PARTS_OF_SPEECH = {'noun': 1, 'verb': 2, 'adj': 3, 'adv': 4}


def corpus_text():
    parts = [body for (_, _, _, body) in helptext.TOPICS]
    parts += [t for t in tips.TIPS]
    for (_, _, title, text) in scripts.SCRIPTS.values():
        parts += [value for (_, value) in title]
        parts.append(text)
    parts.append(EXTRA_WORDS)
    parts += [words for (_, words) in SYNONYM_GROUPS]
    return '\n'.join(parts)


def base_words():
    found = {}
    for token in re.findall(r"[A-Za-z]+(?:'[A-Za-z]+)?", corpus_text()):
        word = token.lower()
        if len(word) >= 2 or word in ('a', 'i'):
            found[word] = True
    for name in PROPER_NAMES:
        found[name] = True
    return sorted(found)


def inflections(word):
    if "'" in word or len(word) < 4 or word in PROPER_NAMES:
        return []
    if word.endswith(('s', 'ed', 'ing', 'ly')):
        return []
    forms = []
    if word.endswith('y') and word[-2] not in 'aeiou':
        forms += [word[:-1] + 'ies', word[:-1] + 'ied', word + 'ing']
    elif word.endswith('e'):
        forms += [word + 's', word + 'd', word[:-1] + 'ing']
    elif word.endswith(('sh', 'ch', 'x', 'z')):
        forms += [word + 'es', word + 'ed', word + 'ing']
    else:
        forms += [word + 's', word + 'ed', word + 'ing']
    return forms


class LetterModel:
    """Letter model of the base words: which letter follows the last three
    (or, one time in three, the last two) letters of a word begun."""

    def __init__(self, words):
        table = {}
        for order in (2, 3):
            for word in words:
                if "'" in word:
                    continue
                padded = '^' * order + word + '$'
                for i in range(order, len(padded)):
                    nexts = table.setdefault(padded[i - order:i], {})
                    nexts[padded[i]] = nexts.get(padded[i], 0) + 1
        self.choices = {c: sorted(n.items()) for c, n in table.items()}

    def word(self, rng, longest=14):
        out = ''
        while len(out) <= longest:
            order = 2 if rng.chance(1, 3) else 3
            letter = rng.weighted(self.choices[('^^^' + out)[-order:]])
            if letter == '$':
                return out
            out += letter
        return None


def word_list():
    """[(word, flags)] in ascending order, WORD_COUNT of them."""
    base = base_words()
    flags = {}
    for word in base:
        f = WORD_CORPUS
        if word in PROPER_NAMES:
            f |= WORD_PROPER
        if "'" in word:
            f |= WORD_CONTRACTION
        if inflections(word):
            f |= WORD_PLURAL | WORD_VERB
        flags[word] = f
    for word in base:
        for form in inflections(word):
            flags.setdefault(form, 0)
    if len(flags) > WORD_COUNT:
        raise ValueError('more base words than WORD_COUNT')
    model = LetterModel(base)
    rng = qmrand.Rng(SEED)
    while len(flags) < WORD_COUNT:
        word = model.word(rng)
        if word is None or len(word) < 3 or word in flags:
            continue
        if re.search(r'[^aeiouy]{4}|(.)\1\1', word):
            continue
        f = 0
        if rng.chance(1, 2):
            f |= WORD_PLURAL
        if rng.chance(1, 4):
            f |= WORD_VERB
        flags[word] = f
    return sorted(flags.items())


def word_hash(word):
    h = 0
    for ch in word.encode('ascii'):
        h = (h * 33 + ch) & 0xFFFFFFFF
    return h ^ (h >> 15)


def soundex(word):
    codes = {}
    for letters, digit in (('bfpv', '1'), ('cgjkqsxz', '2'), ('dt', '3'),
                           ('l', '4'), ('mn', '5'), ('r', '6')):
        for ch in letters:
            codes[ch] = digit
    letters = [ch for ch in word if ch.isalpha()]
    out = letters[0].upper()
    last = codes.get(letters[0], '')
    for ch in letters[1:]:
        digit = codes.get(ch, '')
        if digit and digit != last:
            out += digit
        if ch not in 'hw':
            last = digit
    return (out + '000')[:4]


def fixed(data, size):
    return data[:size - 1] + b'\0' * (size - min(len(data), size - 1))


def build_dictionary(words):
    """main.dct and table1.bin from the sorted word list."""
    data = bytearray()
    blocks = []
    previous = b''
    for number, (word, flags) in enumerate(words):
        w = word.encode('ascii')
        if number % BLOCK_WORDS == 0:
            blocks.append((64 + len(data), number, w))
            data += bytes([len(w)]) + w
        else:
            shared = 0
            while shared < min(len(w), len(previous)) and w[shared] == previous[shared]:
                shared += 1
            data += bytes([shared, len(w) - shared]) + w[shared:]
        data.append(flags)
        previous = w
    header = b'QMDICT\x1a\x01' + struct.pack('<IIIII', len(words), BLOCK_WORDS,
                                             len(blocks), 64, len(data))
    header += struct.pack('<H', 0x0409) + fixed(b'American English', 18)
    header += b'\0' * (64 - len(header))
    dct = header + bytes(data)

    table = bytearray(b'QMDT1\x1a\x01\x00' + struct.pack('<I', len(blocks)))
    for offset, number, first in blocks:
        table += struct.pack('<II', offset, number) + fixed(first, 16)
    for letter in 'abcdefghijklmnopqrstuvwxyz':
        block = next((i for i, b in enumerate(blocks) if b[2][:1] >= letter.encode()),
                     len(blocks))
        word = next((i for i, (w, _) in enumerate(words) if w[:1] >= letter),
                    len(words))
        table += struct.pack('<II', block, word)
    return dct, bytes(table)


def build_buckets(words):
    heads = [0] * BUCKETS
    nexts = [0] * len(words)
    for number in range(len(words) - 1, -1, -1):
        bucket = word_hash(words[number][0]) % BUCKETS
        nexts[number] = heads[bucket]
        heads[bucket] = number + 1
    out = b'QMBKT\x1a\x01\x00' + struct.pack('<II', BUCKETS, len(words))
    return out + struct.pack('<%dI' % BUCKETS, *heads) + struct.pack('<%dI' % len(words), *nexts)


def build_letter_tables(words):
    counts = [0] * (27 * 27 * 27)

    def index(ch):
        return 0 if ch in '^$' else ord(ch) - ord('a') + 1
    for word, _ in words:
        padded = '^' + word.replace("'", '') + '$'
        for i in range(len(padded) - 2):
            k = (index(padded[i]) * 27 + index(padded[i + 1])) * 27 + index(padded[i + 2])
            counts[k] = min(counts[k] + 1, 0xFFFF)
    codes = sorted((soundex(w).encode('ascii'), n) for n, (w, _) in enumerate(words))
    out = bytearray(b'QMDT2\x1a\x01\x00')
    out += struct.pack('<%dH' % len(counts), *counts)
    out += struct.pack('<I', len(codes))
    for code, number in codes:
        out += code + struct.pack('<I', number)
    return bytes(out)


def build_thesaurus(words):
    rng = qmrand.Rng(SEED ^ 0x7468657361757275)
    meanings = {}   # headword -> [(part of speech, [synonyms])]
    for pos, group in SYNONYM_GROUPS:
        members = group.split()
        for head in members:
            meanings.setdefault(head, []).append(
                (PARTS_OF_SPEECH[pos], [w for w in members if w != head]))
    plain = [w for w, f in words if not f & (WORD_PROPER | WORD_CONTRACTION)]
    base = [w for w, f in words if f & WORD_CORPUS and len(w) >= 4
            and not f & (WORD_PROPER | WORD_CONTRACTION)]
    heads = base + rng.sample([w for w in plain if len(w) >= 4], 2500)
    related = list(dict.fromkeys(heads))
    for head in heads:
        if head in meanings:
            continue
        senses = []
        for _ in range(rng.between(1, 3)):
            pos = rng.choice([1, 1, 2, 2, 3, 4])
            synonyms = []
            for _ in range(rng.between(3, 7)):
                candidate = rng.choice(related)
                if candidate != head and candidate not in synonyms:
                    synonyms.append(candidate)
            senses.append((pos, synonyms))
        meanings[head] = senses
    headwords = sorted(meanings)
    used = {}
    for head in headwords:
        used[head] = True
        for _, synonyms in meanings[head]:
            for w in synonyms:
                used[w] = True
    pool = bytearray()
    where = {}
    for w in sorted(used):
        where[w] = len(pool)
        pool += w.encode('ascii') + b'\0'
    senses_blob = bytearray()
    index = bytearray()
    for head in headwords:
        index += struct.pack('<IIB', where[head], len(senses_blob), len(meanings[head]))
        for pos, synonyms in meanings[head]:
            senses_blob += struct.pack('<BB', pos, len(synonyms))
            senses_blob += struct.pack('<%dI' % len(synonyms), *(where[w] for w in synonyms))
    header_size = 8 + 4 * 5
    index_at = header_size
    senses_at = index_at + len(index)
    pool_at = senses_at + len(senses_blob)
    header = b'QMTHES\x1a\x01' + struct.pack('<IIIII', len(headwords), len(pool),
                                             index_at, senses_at, pool_at)
    return header + bytes(index) + bytes(senses_blob) + bytes(pool)
