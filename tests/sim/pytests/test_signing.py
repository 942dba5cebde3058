"""Signature vectors worked out by hand (alphabet "q7w!m2x#k9v$p4z%": q=113, 7=55, m=109, p=112, v=118, z=122, $=36)."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

from zmsim import signing  # noqa: E402


class SignatureVectors(unittest.TestCase):
    def test_fewer_than_two_blocks_give_the_first_symbol(self):
        # Accumulator all zero: 16 x "q"; S = 8 * 113 = 904, 904 % 16 = 8 -> "k", 904 % 13 = 7 -> "#".
        expected = "q" * 16 + "k#"
        for pairs in ([], [("FuncTag", "10000300"), ("role", "s")], [("a", "0123456789abcde")]):
            with self.subTest(pairs=pairs):
                self.assertEqual(signing.make_sign(pairs), expected)

    def test_two_blocks_fold_by_xor(self):
        # "10000300" ^ "abcdefgh" = 50 52 53 54 55 55 57 58: high symbols v v v v v v v $ (bits 3..6), low q w ! m 2 2 # k;
        # S = 7 * 118 + 36 = 862, 862 % 16 = 14 -> "z", 862 % 13 = 4 -> "m".
        self.assertEqual(signing.make_sign([("FuncTag", "10000300"), ("role", "abcdefgh")]), "vqvwv!vmv2v2v#$kzm")

    def test_three_blocks_and_ignored_tail(self):
        # 0x41 ^ 0x61 ^ 0x41 = 0x61: "p7" x 8; S = 8 * 112 = 896 -> "q" (0), "p" (12). The 5-byte tail never enters.
        pairs = [("a", "AAAAAAAA"), ("b", "aaaaaaaa"), ("c", "AAAAAAAA"), ("d", "zzzzz")]
        self.assertEqual(signing.make_sign(pairs), "p7" * 8 + "qp")
        # 0x41 ^ 0x61 = 0x20: "mq" x 8; S = 8 * 109 = 872 -> "k" (8), "7" (1). 21 bytes: the tail is dropped too.
        self.assertEqual(signing.make_sign([("a", "AAAAAAAA"), ("b", "aaaaaaaazzzzz")]), "mq" * 8 + "k7")

    def test_keys_sort_without_case_and_by_code_unit(self):
        # "_a" (0x5f) sorts before "Zb" (lower-cased 0x7a): "0123456789" + "ABCDEF"
        # = "01234567" ^ "89ABCDEF" = 08 08 73 71 77 71 73 71 -> 7k 7k z! z7 z# z7 z! z7; S = 2*55 + 6*122 = 842 -> v, v.
        forward = signing.make_sign([("Zb", "ABCDEF"), ("_a", "0123456789")])
        self.assertEqual(forward, "7k7kz!z7z#z7z!z7vv")
        # A plain code-point sort would put "Zb" first and fold "ABCDEF01" ^ "23456789" instead.
        self.assertNotEqual(signing.make_sign([("Zb", "0123456789"), ("_a", "ABCDEF")]), forward)
        self.assertEqual(signing.make_sign([("ab", "0123456789"), ("abc", "ABCDEF")]), forward)  # prefix first
        self.assertEqual(signing.make_sign([("B", "ABCDEF"), ("a", "0123456789")]), forward)

    def test_values_narrow_to_low_bytes_of_utf16_units(self):
        # U+0141 narrows to 0x41 "A", as does U+4E41; bit 7 never reaches a symbol (0xC1 ^ 0x61 = 0xA0 ~ 0x20).
        expected = "mq" * 8 + "k7"
        self.assertEqual(signing.make_sign([("a", "\u0141" * 8), ("b", "aaaaaaaa")]), expected)
        self.assertEqual(signing.make_sign([("a", "\u4e41" * 8), ("b", "aaaaaaaa")]), expected)
        self.assertEqual(signing.make_sign([("a", "\u00c1" * 8), ("b", "aaaaaaaa")]), expected)
        # A character outside the BMP is two code units (D83D DE00 -> 3D 00).
        self.assertEqual(signing.narrow("\U0001f600"), b"\x3d\x00")

    def test_check_pairs_ignores_the_sign_pair(self):
        pairs = [("FuncTag", "10000300"), ("s", "q" * 16 + "k#"), ("role", "s")]
        self.assertEqual(signing.check_pairs(pairs), (True, "q" * 16 + "k#", "q" * 16 + "k#"))
        tampered = [("FuncTag", "10000300"), ("s", "q" * 16 + "k%"), ("role", "s")]
        self.assertFalse(signing.check_pairs(tampered)[0])
        self.assertEqual(signing.check_pairs([("FuncTag", "1")])[:2], (False, None))


if __name__ == "__main__":
    unittest.main()
