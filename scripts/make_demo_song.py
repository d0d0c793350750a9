#!/usr/bin/env python3
"""Writes Melodeck's demo song, data/KaraokeFiles/Oh_Susanna.kar.

"Oh! Susanna", words and music by Stephen Foster (1848), public domain; the words
are the familiar first verse, the "dream" verse and the chorus. This arrangement
is Melodeck's own.

The file is a format-1 Soft Karaoke file:
  track 0  conductor: title, time signature 2/4, key of C, tempo
  track 1  the Soft Karaoke header texts (@K, @V, @I)
  track 2  "Words": @L and @T lines, then one Text event per sung syllable at the
           tick of its note. A leading "\\" starts a new paragraph, a leading "/" a
           new line; a syllable ends with a space where its word ends, except at
           the end of a line, so a centred line has no trailing blank.
  track 3+ General MIDI instruments: clarinet melody, fiddle, banjo, guitar,
           acoustic bass, and drums on channel 10.

Form: count-in and fiddle intro, verse 1, chorus, a sixteen-bar fiddle break with
no words (about 17 seconds between the last syllable before it and the first after
it), verse 2, chorus twice, final chord. About 83 seconds at 116 beats a minute.

Usage: scripts/make_demo_song.py [OUTPUT]   (default: data/KaraokeFiles/Oh_Susanna.kar)
Needs only the Python 3 standard library; the output is the same on every run.
"""

import os
import struct
import sys

TPQ = 480                 # ticks per quarter note
SIXTEENTH = TPQ // 4
BAR = 2 * TPQ             # 2/4 time
BPM = 116
TEMPO_US = round(60_000_000 / BPM)

# MIDI channels (0-based; channel 9 is General MIDI percussion).
CH_CLARINET, CH_BASS, CH_BANJO, CH_GUITAR, CH_FIDDLE, CH_DRUMS = 0, 1, 2, 3, 4, 9

# General MIDI programs (0-based).
PROGRAM = {"clarinet": 71, "fiddle": 110, "banjo": 105, "guitar": 25, "bass": 32}

# General MIDI percussion keys.
KICK, SIDE_STICK, SNARE, CLOSED_HAT, CRASH = 36, 37, 38, 42, 49

NOTE = {"C": 60, "D": 62, "E": 64, "F": 65, "G": 67, "A": 69}

# --- the tune ------------------------------------------------------------------
# A phrase is a list of (note, length in sixteenths). Verse phrases begin with a
# two-eighth pickup in the second half of the bar before them; their last note is
# a quarter on the downbeat of their fourth bar, which leaves room for the next
# pickup. The chorus opening starts on a downbeat.
PHRASE_A = [("C", 2), ("D", 2),
            ("E", 2), ("G", 2), ("G", 3), ("A", 1),
            ("G", 2), ("E", 2), ("C", 3), ("D", 1),
            ("E", 2), ("E", 2), ("D", 2), ("C", 2),
            ("D", 4)]
PHRASE_B = PHRASE_A[:10] + [("E", 2), ("E", 2), ("D", 2), ("D", 2), ("C", 4)]
CHORUS_OPENING = [("F", 6), ("F", 2),
                  ("A", 4), ("A", 2), ("A", 2),
                  ("G", 2), ("G", 2), ("E", 2), ("C", 2),
                  ("D", 4)]

# Harmony, one chord per half bar over the four bars of each phrase.
HARMONY = {
    "A": ["C", "C", "C", "C", "C", "D7", "G7", "G7"],
    "B": ["C", "C", "C", "C", "C", "G7", "C", "C"],
    "O": ["F", "F", "F", "F", "C", "C", "G7", "G7"],
}
PHRASE_NOTES = {"A": PHRASE_A, "B": PHRASE_B, "O": CHORUS_OPENING}
PICKUP_SIXTEENTHS = {"A": 4, "B": 4, "O": 0}

# Chord voicings: guitar (low), banjo roll (four eighths), bass root and fifth.
GUITAR = {"C": [52, 55, 60], "F": [53, 57, 60], "G7": [50, 53, 55, 59], "D7": [50, 54, 57, 60]}
BANJO_ROLL = {"C": [67, 64, 72, 64], "F": [69, 65, 72, 65], "G7": [67, 62, 71, 65],
              "D7": [66, 62, 69, 60]}
BASS = {"C": (36, 43), "F": (41, 36), "G7": (43, 38), "D7": (38, 45)}

# --- the words -----------------------------------------------------------------
# One entry per melody note, separated by "|"; an empty entry continues the
# previous syllable over the note. Marks and spaces are written as they go into
# the file.
VERSE_1 = [
    ("A", "\\Oh, |I |come |from |Al|a|bam|a|/with |my |ban|jo |on |my |knee,"),
    ("B", "/And |I'm |goin' |to |Lou'|si|an|a,|/my |own |true |love |for |to |see."),
    ("A", "/Oh, |it |rained |all |night |the |day |I |left,|/the |wea|ther |it |was |dry;"),
    ("B", "/Oh, |the |sun |so |hot |I |froze |to |death;|/Su|san|na, |don't |you |cry."),
]
VERSE_2 = [
    ("A", "\\Oh, |I |had |a |dream |the |oth|er |night,|/when |ev|'ry|thing |was |still;"),
    ("B", "/And |I |thought |I |saw |Su|san|na |dear,|/a-|com|ing |down |the |hill."),
    ("A", "/Oh, |the |buck|wheat |cake |was |in |her |mouth,|/the |tear |was |in |her |eye;"),
    ("B", "/Says ||I, |\"I'm |com|ing |from |the |South,|/Su|san|na, |don't |you |cry.\""),
]
CHORUS = [
    ("O", "\\Oh! |Su|san|na,|/oh, |don't |you |cry |for |me,"),
    ("B", "/For |I |come |from |Al|a|bam|a|/with |my |ban|jo |on |my |knee."),
]


def syllables(phrase, words):
    parts = words.split("|")
    if len(parts) != len(PHRASE_NOTES[phrase]):
        raise SystemExit(f"{len(parts)} syllables for {len(PHRASE_NOTES[phrase])} notes: {words}")
    return parts


# --- the arrangement -------------------------------------------------------------
# (first bar, phrases with words or None, melody voices). The first bar is the
# phrase's first full bar; a pickup falls in the bar before it.
INSTRUMENTAL_VERSE = [("A", None), ("B", None), ("A", None), ("B", None)]
SECTIONS = [
    (2, [("B", None)], ["fiddle"]),      # intro: the chorus's closing phrase
    (6, VERSE_1, ["clarinet"]),
    (22, CHORUS, ["clarinet"]),
    (30, INSTRUMENTAL_VERSE, ["fiddle"]),  # the break: no words
    (46, VERSE_2, ["clarinet"]),
    (62, CHORUS, ["clarinet"]),
    (70, CHORUS, ["clarinet", "fiddle"]),
]
FIRST_BAND_BAR = 2
FINAL_BAR = 78            # the last chord rings for two bars
SONG_END = (FINAL_BAR + 2) * BAR
CRASH_BARS = [2, 6, 22, 30, 46, 62, 70, FINAL_BAR]
FILL_BARS = [5, 21, 29, 45, 61, 69, 77]


class Track:
    """Timed events of one track; writes them as an MTrk chunk."""

    def __init__(self, name):
        self.events = []  # (tick, order, bytes); order puts note-offs first at a tick
        self.meta(0, 0x03, name.encode("latin-1"))

    def add(self, tick, data, order=1):
        self.events.append((tick, order, len(self.events), bytes(data)))

    def meta(self, tick, kind, data):
        self.add(tick, bytes([0xFF, kind]) + varlen(len(data)) + data)

    def text(self, tick, text):
        self.meta(tick, 0x01, text.encode("latin-1"))

    def note(self, tick, channel, key, velocity, length):
        self.add(tick, [0x90 | channel, key, velocity], order=1)
        self.add(tick + length, [0x80 | channel, key, 0], order=0)

    def setup(self, channel, program, volume, pan, reverb=40):
        self.add(0, [0xC0 | channel, program])
        for controller, value in ((7, volume), (10, pan), (91, reverb)):
            self.add(0, [0xB0 | channel, controller, value])

    def chunk(self, end_tick):
        out = bytearray()
        now = 0
        for tick, _, _, data in sorted(self.events):
            if tick > end_tick:
                raise SystemExit(f"event at tick {tick} after the end of the song")
            out += varlen(tick - now) + data
            now = tick
        out += varlen(end_tick - now) + b"\xFF\x2F\x00"
        return b"MTrk" + struct.pack(">I", len(out)) + bytes(out)


def varlen(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.append(0x80 | (value & 0x7F))
        value >>= 7
    return bytes(reversed(out))


def phrase_start(first_bar, index, phrase):
    """Tick of a phrase's first note (its pickup, if it has one)."""
    return (first_bar + 4 * index) * BAR - PICKUP_SIXTEENTHS[phrase] * SIXTEENTH


def build():
    conductor = Track("Oh! Susanna")
    conductor.meta(0, 0x02, b"Words and music by Stephen Foster, 1848. Public domain.")
    conductor.meta(0, 0x58, bytes([2, 2, 24, 8]))   # 2/4
    conductor.meta(0, 0x59, bytes([0, 0]))          # C major
    conductor.meta(0, 0x51, TEMPO_US.to_bytes(3, "big"))

    header = Track("Soft Karaoke")
    for line in ("@KMIDI KARAOKE FILE", "@V0100", "@IOh! Susanna",
                 "@IStephen Foster, 1848", "@IArranged for Melodeck"):
        header.text(0, line)

    words = Track("Words")
    for line in ("@LENGL", "@TOh! Susanna", "@TStephen Foster"):
        words.text(0, line)

    clarinet = Track("Melody")
    clarinet.setup(CH_CLARINET, PROGRAM["clarinet"], 100, 64)
    fiddle = Track("Fiddle")
    fiddle.setup(CH_FIDDLE, PROGRAM["fiddle"], 92, 80)
    banjo = Track("Banjo")
    banjo.setup(CH_BANJO, PROGRAM["banjo"], 78, 40)
    guitar = Track("Guitar")
    guitar.setup(CH_GUITAR, PROGRAM["guitar"], 80, 92)
    bass = Track("Bass")
    bass.setup(CH_BASS, PROGRAM["bass"], 108, 64, reverb=20)
    drums = Track("Drums")
    drums.setup(CH_DRUMS, 0, 100, 64, reverb=30)
    voices = {"clarinet": (clarinet, CH_CLARINET, 0, 96),
              "fiddle": (fiddle, CH_FIDDLE, 12, 88)}

    chords = {}  # half-bar index -> chord name
    for first_bar, phrases, melody in SECTIONS:
        for index, (phrase, text) in enumerate(phrases):
            tick = phrase_start(first_bar, index, phrase)
            texts = syllables(phrase, text) if text is not None else None
            for n, (name, sixteenths) in enumerate(PHRASE_NOTES[phrase]):
                length = sixteenths * SIXTEENTH
                for voice in melody:
                    track, channel, shift, velocity = voices[voice]
                    accent = 8 if tick % TPQ == 0 else 0
                    track.note(tick, channel, NOTE[name] + shift, velocity + accent,
                               length * 9 // 10)
                if texts is not None and texts[n]:
                    words.text(tick, texts[n])
                tick += length
            bar = first_bar + 4 * index
            for half, chord in enumerate(HARMONY[phrase]):
                chords[2 * bar + half] = chord

    # The band: bass on the beats, guitar on the off-beats, a banjo roll in eighths.
    eighth = TPQ // 2
    for half in range(2 * FIRST_BAND_BAR, 2 * FINAL_BAR):
        chord = chords[half]
        beat = half * TPQ
        root, fifth = BASS[chord]
        bass.note(beat, CH_BASS, root if half % 2 == 0 else fifth, 100 if half % 2 == 0 else 88,
                  TPQ * 8 // 10)
        for i, key in enumerate(GUITAR[chord]):
            guitar.note(beat + eighth + 6 * i, CH_GUITAR, key, 64, eighth * 7 // 10)
        for i in range(2):
            key = BANJO_ROLL[chord][2 * (half % 2) + i]
            banjo.note(beat + i * eighth, CH_BANJO, key, 70 if i == 0 else 58, eighth)

    # The last chord, held.
    final = FINAL_BAR * BAR
    ring = 2 * BAR - TPQ // 2
    bass.note(final, CH_BASS, 36, 104, ring)
    for key in GUITAR["C"]:
        guitar.note(final, CH_GUITAR, key, 80, ring)
    for key in (60, 64, 67, 72):
        banjo.note(final, CH_BANJO, key, 76, ring)
    clarinet.note(final, CH_CLARINET, 60, 96, ring)
    fiddle.note(final, CH_FIDDLE, 72, 90, ring)

    # Drums: a count-in on the side stick, then a two-beat polka groove.
    for beat in range(4):
        drums.note(beat * TPQ, CH_DRUMS, SIDE_STICK, 90, SIXTEENTH)
    for bar in range(FIRST_BAND_BAR, FINAL_BAR):
        start = bar * BAR
        for beat in range(2):
            drums.note(start + beat * TPQ, CH_DRUMS, KICK, 104 if beat == 0 else 92, SIXTEENTH)
        for e in range(4):
            drums.note(start + e * eighth, CH_DRUMS, CLOSED_HAT, 56 if e % 2 else 44, SIXTEENTH)
        if bar in FILL_BARS:
            for s in range(4):
                drums.note(start + TPQ + s * SIXTEENTH, CH_DRUMS, SNARE, 62 + 10 * s, SIXTEENTH)
        else:
            for beat in range(2):
                drums.note(start + beat * TPQ + eighth, CH_DRUMS, SNARE, 66, SIXTEENTH)
    for bar in CRASH_BARS:
        drums.note(bar * BAR, CH_DRUMS, CRASH, 96, TPQ)
    drums.note(final, CH_DRUMS, KICK, 110, SIXTEENTH)

    tracks = [conductor, header, words, clarinet, fiddle, banjo, guitar, bass, drums]
    out = bytearray(b"MThd" + struct.pack(">IHHH", 6, 1, len(tracks), TPQ))
    for track in tracks:
        out += track.chunk(SONG_END)
    return bytes(out)


def check(data):
    """Reads the file back: chunk lengths, End of Track on every track, the words
    on track 2 and the instrumental break. Stops the script on any fault."""
    def fail(why):
        raise SystemExit(f"generated file is wrong: {why}")

    if data[:4] != b"MThd" or struct.unpack(">I", data[4:8])[0] != 6:
        fail("header chunk")
    _, count, division = struct.unpack(">HHH", data[8:14])
    pos, lyrics = 14, []
    for index in range(count):
        if data[pos:pos + 4] != b"MTrk":
            fail(f"track {index} has no MTrk chunk")
        length = struct.unpack(">I", data[pos + 4:pos + 8])[0]
        body, pos = data[pos + 8:pos + 8 + length], pos + 8 + length
        i, tick, ended = 0, 0, False

        def number():
            nonlocal i
            value = 0
            while True:
                if i >= len(body):
                    fail(f"track {index}: an event runs past the end of its chunk")
                byte = body[i]
                i += 1
                value = (value << 7) | (byte & 0x7F)
                if byte < 0x80:
                    return value

        if len(body) != length:
            fail(f"track {index} is cut short")
        while i < len(body) and not ended:
            tick += number()
            if i + 1 >= len(body):
                fail(f"track {index}: an event runs past the end of its chunk")
            status = body[i]
            i += 1
            if status == 0xFF:
                kind = body[i]
                i += 1
                size = number()
                payload = body[i:i + size]
                i += size
                ended = kind == 0x2F
                if index == 2 and kind == 0x01 and not payload.startswith(b"@"):
                    lyrics.append(tick)
            elif status < 0x80 or status >= 0xF0:
                fail(f"track {index}: unexpected status 0x{status:02X}")
            else:
                i += 1 if 0xC0 <= status < 0xE0 else 2
        if not ended or i != len(body):  # a data run past the end leaves i beyond it
            fail(f"track {index}: End of Track is missing or not last")
    if pos != len(data):
        fail("bytes after the last track")
    expected = sum(1 for _, phrases, _ in SECTIONS for phrase, text in phrases
                   if text is not None for s in syllables(phrase, text) if s)
    if len(lyrics) != expected:
        fail(f"{len(lyrics)} syllables on track 2, expected {expected}")
    seconds = TEMPO_US / 1e6 / division
    longest = max(b - a for a, b in zip(lyrics, lyrics[1:])) * seconds
    if longest < 12:
        fail(f"the longest gap between syllables is {longest:.1f} s")


def main(argv):
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    path = argv[1] if len(argv) > 1 else os.path.join(root, "data", "KaraokeFiles",
                                                      "Oh_Susanna.kar")
    data = build()
    check(data)
    os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)
    print(f"{path}: {len(data)} bytes, {SONG_END / TPQ * TEMPO_US / 1e6:.1f} s")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
