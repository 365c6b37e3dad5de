#!/usr/bin/env python3
"""The distribution archive read back by readers not ours: CPython's zipfile reading names in code page 936
as Windows' built-in extraction does, and Info-ZIP's unzip, which takes the Unicode Path field as 7-Zip,
WinRAR and Bandizip do. Usage: archive_tests.py TOOLS/release-zip.py"""

import os
import subprocess
import sys
import tempfile
import time
import unittest
import zipfile

TOOL = None
EPOCH = 1741000000  # 2025-03-03 11:06:40 UTC

# A module, a double-byte name whose second byte is a backslash's ("運" is B9 5C), simplified Chinese, a space.
NAMES = ['Kavtor2010.ARX', '運算表.xls', '钢结构构件库.dat', '说明 书.txt']


def make_package(folder, names, order=1, mtime=0):
    os.makedirs(folder)
    for name in names[::order]:
        path = os.path.join(folder, name)
        with open(path, 'w', encoding='utf-8') as f:
            f.write(f'package file {name}\n' * 50)
        os.utime(path, (mtime, mtime))
    return folder


class ArchiveTest(unittest.TestCase):
    def setUp(self):
        self.dir = self.enterContext(tempfile.TemporaryDirectory())
        self.program = os.path.join(self.dir, 'SetUp.exe')
        with open(self.program, 'wb') as f:
            f.write(b'MZ' + bytes(range(256)) * 40)

    def make(self, package, output, made=True):
        result = subprocess.run([sys.executable, TOOL, 'make', '--program', self.program, '--package', package,
                                 '--epoch', str(EPOCH), '--output', output], capture_output=True, text=True)
        self.assertEqual(0 if made else 1, result.returncode, result.stderr)
        return output if made else result.stderr

    # Every file whole under its name, SetUp.exe beside Data.
    def assert_unpacked(self, package, folder):
        files = {'SetUp.exe': self.program, **{f'Data/{n}': os.path.join(package, n) for n in NAMES}}
        found = sorted(os.path.relpath(os.path.join(d, f), folder) for d, _, fs in os.walk(folder) for f in fs)
        self.assertEqual(sorted(files), found)
        for name, source in files.items():
            with open(source, 'rb') as a, open(os.path.join(folder, name), 'rb') as b:
                self.assertEqual(a.read(), b.read(), name)

    def test_every_name_reads_right_both_ways(self):
        package = make_package(os.path.join(self.dir, 'pkg'), NAMES)
        archive = self.make(package, os.path.join(self.dir, 'a.zip'))
        # Windows' way: no UTF-8 flag (older Windows ignores it anyway), names in 936.
        with zipfile.ZipFile(archive, metadata_encoding='cp936') as z:
            for info in z.infolist():
                self.assertEqual(0, info.flag_bits & 0x800, f'{info.filename} is flagged UTF-8')
            z.extractall(os.path.join(self.dir, 'windows'))
        self.assert_unpacked(package, os.path.join(self.dir, 'windows'))
        # 7-Zip's way: the UTF-8 name of the Unicode Path field, local headers included.
        subprocess.run(['unzip', '-q', archive, '-d', os.path.join(self.dir, 'unicode')],
                       env=dict(os.environ, LC_ALL='C.UTF-8'), check=True)
        self.assert_unpacked(package, os.path.join(self.dir, 'unicode'))

    def test_same_inputs_give_the_same_bytes_anywhere_anytime(self):
        first = make_package(os.path.join(self.dir, 'one', 'pkg'), NAMES, order=1, mtime=1000000000)
        second = make_package(os.path.join(self.dir, 'two', 'other'), NAMES, order=-1, mtime=int(time.time()))
        os.chmod(os.path.join(second, NAMES[0]), 0o600)
        a = self.make(first, os.path.join(self.dir, 'a.zip'))
        time.sleep(2.1)  # a DOS time step: a clock read would show
        b = self.make(second, os.path.join(self.dir, 'b.zip'))
        with open(a, 'rb') as fa, open(b, 'rb') as fb:
            self.assertEqual(fa.read(), fb.read())
        with zipfile.ZipFile(a, metadata_encoding='cp936') as z:
            self.assertEqual(sorted(z.namelist()), z.namelist())
            self.assertEqual({time.gmtime(EPOCH)[:6]}, {i.date_time for i in z.infolist()})

    def test_packages_setup_could_not_install_are_refused(self):
        cases = {
            'missing': (os.path.join(self.dir, 'nowhere'), 'no package folder'),
            'empty': (make_package(os.path.join(self.dir, 'empty'), []), 'is empty'),
            'korean': (make_package(os.path.join(self.dir, 'ko'), ['说明.txt', '설명.txt']), '설명.txt: code page 936'),
            'colon': (make_package(os.path.join(self.dir, 'colon'), ['a:b.txt']), 'a:b.txt: Windows refuses'),
            'device': (make_package(os.path.join(self.dir, 'dev'), ['CON.txt']), 'CON.txt: Windows reserves'),
            'folder': (make_package(os.path.join(self.dir, 'sub'), ['说明.txt']), 'Sub: a folder'),
        }
        os.makedirs(os.path.join(self.dir, 'sub', 'Sub'))
        out = os.path.join(self.dir, 'out')
        os.makedirs(out)
        for case, (package, message) in cases.items():
            with self.subTest(case):
                self.assertIn(message, self.make(package, os.path.join(out, 'a.zip'), made=False))
                self.assertEqual([], os.listdir(out), 'no archive, no leftovers')


if __name__ == '__main__':
    TOOL = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
