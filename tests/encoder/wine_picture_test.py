"""trancor.exe under Wine on the native tests of the source's picture: HD
colours through the Windows FFmpeg's scaler; HDR and interlaced sources
where its FFmpeg has zscale, tonemap and bwdif (skipped, with the reason
the encoder gives, while it has not).
Usage: wine_picture_test.py EMULATOR... (TRANCOR names the .exe)."""
import sys
import unittest

import trancor_helpers
from source_picture_test import SourcePictures  # noqa: F401

if __name__ == "__main__":
    trancor_helpers.EMULATOR = sys.argv[1:]
    unittest.main(argv=sys.argv[:1], verbosity=2)
