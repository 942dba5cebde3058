"""Which fixture page the simulator serves for an address under /pages/."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

from zmsim import pages  # noqa: E402


class PageFiles(unittest.TestCase):
    def test_addresses_and_their_pages(self):
        cases = [
            ("/pages/whiteboard", "whiteboard.html"),
            ("/pages/whiteboard/student/100234/880213/20240611093/1", "whiteboard.html"),
            ("/pages/whiteboard/playback", "playback.html"),
            ("/pages/whiteboard/playback/880213/20240611093/1", "playback.html"),
            ("/pages/whiteboardx", None),
            ("/pages/whiteboard/playbackx/1", "whiteboard.html"),
            ("/pages/vroom/vroom.html", "vroom.html"),
            ("/pages/vroom/boardpage.js", "boardpage.js"),
            ("/pages/vroom/../manifest.json", None),
            ("/pages/vroom/missing.html", None),
            ("/pages/main", None),
            ("/pages/help", "help.html"),
            ("/pages/help/more", None),
        ]
        for path, expected in cases:
            with self.subTest(path=path):
                found = pages.page_file(path)
                self.assertEqual(os.path.basename(found) if found else None, expected)
                if found:
                    self.assertTrue(os.path.isfile(found))


if __name__ == "__main__":
    unittest.main()
