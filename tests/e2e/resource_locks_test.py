"""The locks CTest runs the Windows tests under, as CTest itself lists them
once every program's tests are discovered: the encoder's Wine tests and the
end-to-end tests that count, watch or kill trancor.exe never overlap, and
those end-to-end tests still share the display with the others.
Usage: resource_locks_test.py BUILD_DIR"""
import json
import re
import subprocess
import sys
import unittest

BUILD = sys.argv.pop(1) if len(sys.argv) > 1 else ""
ENCODER_WINE = r"win\.encoder\.wine_"
LOOK_AT_TRANCOR = r"win\.e2e\.(Batch|KeptList|RealBatch|RealConversion|Package|FirstStart)\b"


def locks_by_test():
    listing = subprocess.run(["ctest", "--test-dir", BUILD, "--show-only=json-v1"], check=True,
                             capture_output=True, text=True).stdout
    locks = {}
    for test in json.loads(listing)["tests"]:
        properties = {p["name"]: p["value"] for p in test.get("properties", [])}
        value = properties.get("RESOURCE_LOCK", [])
        locks[test["name"]] = {value} if isinstance(value, str) else set(value)
    return locks


class ResourceLocks(unittest.TestCase):

    def test_trancor_watchers_and_the_encoders_wine_tests_share_a_lock(self):
        locks = locks_by_test()
        for pattern, wanted in ((ENCODER_WINE, {"trancor_processes"}),
                                (LOOK_AT_TRANCOR, {"trancor_processes", "vidquill_gui"})):
            names = [name for name in locks if re.match(pattern, name)]
            self.assertGreater(len(names), 3, pattern)
            for name in names:
                self.assertLessEqual(wanted, locks[name], name)


if __name__ == "__main__":
    unittest.main(verbosity=2)
