"""The compression of setup.exe's code and data (tools/pack_code.py) and its
expansion, which setup/unpack/unpack.cpp does again at start-up.

The packed bytes are one stream of tokens, each but the first led by a flag
bit; the flag bits and the numbers (Elias gamma codes) are read eight to a
byte, a byte taken from the stream whenever the last one is used up, and the
literal bytes and the low bytes of offsets come between them as they are:

    literals    gamma(count), the bytes            (first; or after a match: flag 0)
    repeat      gamma(length)                      (after literals: flag 0)
    new offset  gamma(high + 1), low byte, gamma(length - 1)
                                                   (flag 1; offset - 1 = high * 256 + low)

A repeat copies with the offset of the last match.  The expansion stops when
the output is full.  A gamma code of v >= 1 gives the bits of v after its
leading one, each after a 1 bit, and ends with a 0 bit.
"""

LOW_BITS = 8           # of an offset, stored as a byte
BYTE_BITS = 8
FIRST_BIT = 0x80       # of a byte of bits: they are read from the top
MIN_NEW_MATCH = 2
CHAIN_LIMIT = 400      # earlier places looked at for a match at each place
LONGEST_TRIED = 48     # longer matches are tried only at their full length
STATES_KEPT = 6        # ways of reaching a place that the parse keeps


def gamma_bits(value):
    return 2 * value.bit_length() - 1


class BitWriter:
    def __init__(self):
        self.out = bytearray()
        self.mask = 0
        self.at = 0

    def bit(self, value):
        if not self.mask:
            self.at = len(self.out)
            self.out.append(0)
            self.mask = FIRST_BIT
        if value:
            self.out[self.at] |= self.mask
        self.mask >>= 1

    def byte(self, value):
        self.out.append(value)

    def gamma(self, value):
        assert value >= 1
        for shift in range(value.bit_length() - 2, -1, -1):
            self.bit(1)
            self.bit(value >> shift & 1)
        self.bit(0)


class BitReader:
    def __init__(self, data, at=0):
        self.data, self.at, self.mask, self.current = data, at, 0, 0

    def bit(self):
        if not self.mask:
            self.current = self.byte()
            self.mask = FIRST_BIT
        value = self.current & self.mask
        self.mask >>= 1
        return 1 if value else 0

    def byte(self):
        value = self.data[self.at]
        self.at += 1
        return value

    def gamma(self):
        value = 1
        while self.bit():
            value = value << 1 | self.bit()
        return value


def new_match_bits(offset, length):
    return 1 + gamma_bits(((offset - 1) >> LOW_BITS) + 1) + LOW_BITS + gamma_bits(length - 1)


def matches(data):
    """For each place, the matches worth trying, nearest first: (offset,
    length), each longer than every nearer one."""
    size = len(data)
    heads = {}
    found = []
    for i in range(size):
        here = []
        if i + MIN_NEW_MATCH <= size:
            key = data[i:i + MIN_NEW_MATCH]
            chain = heads.setdefault(key, [])
            best = MIN_NEW_MATCH - 1
            for j in reversed(chain[-CHAIN_LIMIT:]):
                if i + best >= size or data[j + best] != data[i + best]:
                    continue
                length = MIN_NEW_MATCH
                while i + length < size and data[j + length] == data[i + length]:
                    length += 1
                if length > best:
                    best = length
                    here.append((i - j, length))
            chain.append(i)
        found.append(here)
    return found


def match_length(data, i, offset):
    if offset > i:
        return 0
    length = 0
    while i + length < len(data) and data[i + length - offset] == data[i + length]:
        length += 1
    return length


def parse(data):
    """The tokens of a cheap way through `data`: ('L', count), ('R', length)
    or ('N', offset, length).  Each place keeps the cheapest few ways of
    reaching it, told apart by their last offset and whether they end in
    literals, so that a repeat can be weighed against a new offset."""
    size = len(data)
    found = matches(data)
    # states[i]: (last offset, ends in literals) -> (bits, literal count, from, token)
    states = [dict() for _ in range(size + 1)]
    states[0][(0, False)] = (0, 0, None, None)

    def offer(at, key, cost, count, came_from, token):
        old = states[at].get(key)
        if old is None or cost < old[0]:
            states[at][key] = (cost, count, came_from, token)

    for i in range(size):
        here = sorted(states[i].items(), key=lambda item: (item[1][0], item[0]))[:STATES_KEPT]
        states[i] = dict(here)
        for (offset, literal), (cost, count, _, _) in here:
            # one more literal
            if literal:
                step = BYTE_BITS + gamma_bits(count + 1) - gamma_bits(count)
            else:
                step = BYTE_BITS + gamma_bits(1) + (1 if i else 0)
            offer(i + 1, (offset, True), cost + step, count + 1 if literal else 1, (i, (offset, literal)),
                  'L')
            if literal and offset:
                longest = match_length(data, i, offset)
                for length in range(1, longest + 1):
                    if length > LONGEST_TRIED and length != longest:
                        continue
                    offer(i + length, (offset, False), cost + 1 + gamma_bits(length), 0,
                          (i, (offset, literal)), ('R', length))
        if not i:
            continue
        (offset, literal), (cost, _, _, _) = here[0]
        shortest = MIN_NEW_MATCH
        for new_offset, longest in found[i]:
            for length in range(shortest, longest + 1):
                if length > LONGEST_TRIED and length != longest:
                    continue
                offer(i + length, (new_offset, False), cost + new_match_bits(new_offset, length), 0,
                      (i, (offset, literal)), ('N', new_offset, length))
            shortest = longest + 1
    # back from the cheapest way to the end
    key = min(states[size], key=lambda k: (states[size][k][0], k))
    at = size
    tokens = []
    while at:
        _, _, (came_at, came_key), token = states[at][key]
        if token == 'L':
            if tokens and tokens[-1][0] == 'L':
                tokens[-1] = ('L', tokens[-1][1] + 1)
            else:
                tokens.append(('L', 1))
        else:
            tokens.append(token)
        at, key = came_at, came_key
    tokens.reverse()
    return tokens


def compress(data):
    """`data` packed as described above, into a BitWriter that can take more."""
    writer = BitWriter()
    at = 0
    last = None
    for token in parse(bytes(data)):
        if token[0] == 'L':
            if last is not None:
                writer.bit(0)
            writer.gamma(token[1])
            writer.out += data[at:at + token[1]]
            at += token[1]
        elif token[0] == 'R':
            assert last == 'L'
            writer.bit(0)
            writer.gamma(token[1])
            at += token[1]
        else:
            _, offset, length = token
            writer.bit(1)
            writer.gamma(((offset - 1) >> LOW_BITS) + 1)
            writer.byte((offset - 1) & ((1 << LOW_BITS) - 1))
            writer.gamma(length - 1)
            at += length
        last = token[0]
    assert at == len(data)
    return writer


def expand(reader, size):
    """The `size` bytes packed in the stream that `reader` reads, read as
    setup/unpack/unpack.cpp reads them; a stream that runs past them is
    refused, as it would overrun the unpacker's."""
    out = bytearray()
    offset = 0
    kind = 'literals'
    while True:
        if kind == 'new offset':
            offset = ((reader.gamma() - 1) << LOW_BITS | reader.byte()) + 1
        length = reader.gamma() + (kind == 'new offset')
        if kind == 'literals':
            out += bytes(reader.byte() for _ in range(length))
        elif not 0 < offset <= len(out):
            raise ValueError('a match from before the start')
        else:
            for _ in range(length):
                out.append(out[-offset])
        if len(out) >= size:
            break
        kind = 'new offset' if reader.bit() else 'repeat' if kind == 'literals' else 'literals'
    if len(out) != size:
        raise ValueError('more than was packed')
    return bytes(out)
