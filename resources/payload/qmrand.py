"""A small seeded random generator (SplitMix64) whose output depends on
nothing but its seed, so every data file comes out the same on every machine
and every Python version."""

_MASK = (1 << 64) - 1


class Rng:
    def __init__(self, seed):
        self.state = seed & _MASK

    def next64(self):
        self.state = (self.state + 0x9E3779B97F4A7C15) & _MASK
        z = self.state
        z = ((z ^ (z >> 30)) * 0xBF58476D1CE4E5B9) & _MASK
        z = ((z ^ (z >> 27)) * 0x94D049BB133111EB) & _MASK
        return z ^ (z >> 31)

    def below(self, n):
        """A number in 0 .. n-1 (n > 0)."""
        return self.next64() % n

    def between(self, lo, hi):
        """A number in lo .. hi, both included."""
        return lo + self.below(hi - lo + 1)

    def chance(self, numerator, denominator):
        return self.below(denominator) < numerator

    def choice(self, seq):
        return seq[self.below(len(seq))]

    def weighted(self, items):
        """items: list of (value, weight) with positive integer weights."""
        total = sum(w for _, w in items)
        pick = self.below(total)
        for value, weight in items:
            if pick < weight:
                return value
            pick -= weight
        raise AssertionError('unreachable')

    def shuffle(self, items):
        for i in range(len(items) - 1, 0, -1):
            j = self.below(i + 1)
            items[i], items[j] = items[j], items[i]

    def sample(self, seq, k):
        pool = list(seq)
        self.shuffle(pool)
        return pool[:k]
