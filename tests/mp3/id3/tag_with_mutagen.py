#!/usr/bin/python3
"""Tags a file with mutagen: tag_with_mutagen.py FILE V2_VERSION ENCODING [v1]

Writes title, artist, album, date, track, genre and a comment, every text frame in the given
ID3v2 encoding (0 ISO-8859-1, 1 UTF-16, 2 UTF-16BE, 3 UTF-8), as an ID3v2.3 or 2.4 tag; with
"v1" an ID3v1.1 tag as well.
"""
import sys
from mutagen.id3 import ID3, TIT2, TPE1, TALB, TDRC, TYER, TRCK, TCON, COMM

path, version, encoding = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
latin1 = encoding == 0
tags = ID3()
tags.add(TIT2(encoding=encoding, text="Nuit d'\u00e9t\u00e9" if latin1 else "Nuit \u263e \U0001d11e"))
tags.add(TPE1(encoding=encoding, text="Jed Grimstorm"))
tags.add(TALB(encoding=encoding, text="\u00dcn\u00efcode \u00c4lbum"))
tags.add((TYER if version == 3 else TDRC)(encoding=encoding, text="1999"))
tags.add(TRCK(encoding=encoding, text="3/12"))
tags.add(TCON(encoding=encoding, text="(17)"))
tags.add(COMM(encoding=encoding, lang="eng", desc="", text="\u00c7a va?"))
tags.save(path, v2_version=version, v1=2 if len(sys.argv) > 4 and sys.argv[4] == "v1" else 0)
