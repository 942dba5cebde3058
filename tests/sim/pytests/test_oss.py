"""The object-storage role's own signature, CRC and addressing, against values worked out independently."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

from zmsim import oss  # noqa: E402


class OssSignature(unittest.TestCase):
    def test_string_to_sign_and_signature(self):
        # The signature below comes from: printf '<text>' | openssl dgst -sha1 -hmac sim-access-key-secret -binary | base64
        headers = [("Content-Type", "application/zip"), ("Date", "Wed, 01 May 2024 10:30:00 GMT"),
                   ("X-OSS-Security-Token", " sim-security-token "), ("Authorization", "OSS x:y")]
        text = oss.string_to_sign("PUT", headers, "/zm-class-logs/logs/2024/a b.zip")
        self.assertEqual(text, "PUT\n\napplication/zip\nWed, 01 May 2024 10:30:00 GMT\n"
                               "x-oss-security-token:sim-security-token\n/zm-class-logs/logs/2024/a b.zip")
        self.assertEqual(oss.signature("sim-access-key-secret", text), "RwgZOrQPTdmQ/EJb2M/ZUFIQaRk=")

    def test_oss_headers_sorted_lower_cased_and_joined(self):
        headers = [("x-oss-meta-b", "2"), ("X-Oss-Meta-A", "1"), ("x-oss-meta-b", "3"), ("Content-Type", "x")]
        self.assertEqual(oss.canonical_oss_headers(headers), "x-oss-meta-a:1\nx-oss-meta-b:2,3\n")


class OssCrc(unittest.TestCase):
    def test_check_value(self):
        # The catalogued check value of CRC-64/XZ (ECMA-182 reflected) for "123456789".
        self.assertEqual(oss.crc64(b"123456789"), 0x995DC9BBDF1939FA)
        self.assertEqual(oss.crc64(b""), 0)


class OssAddressing(unittest.TestCase):
    def test_locate(self):
        cases = [
            ("127.0.0.1:8080", "/zm-class-logs/logs/a%20b.zip", ("zm-class-logs", "logs/a b.zip", "path")),
            ("[::1]:8080", "/bucket/k", ("bucket", "k", "path")),
            ("localhost:8080", "/bucket/k", ("bucket", "k", "path")),
            ("zm-class-logs.localhost:8080", "/logs/a.zip", ("zm-class-logs", "logs/a.zip", "virtual-host")),
            ("zm-class-logs.oss.example.com", "/a.zip?x=1", ("zm-class-logs", "a.zip", "virtual-host")),
        ]
        for host, path, expected in cases:
            with self.subTest(host=host, path=path):
                self.assertEqual(oss.locate(host, path), expected)

    def test_bucket_names(self):
        for name in ("abc", "zm-class-logs", "a" * 63):
            self.assertTrue(oss.is_valid_bucket(name), name)
        for name in ("ab", "-abc", "abc-", "ABC", "a_b", "a" * 64, "ab\u00e9"):
            self.assertFalse(oss.is_valid_bucket(name), name)


if __name__ == "__main__":
    unittest.main()
