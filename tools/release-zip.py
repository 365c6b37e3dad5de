#!/usr/bin/env python3
"""The distribution archive of SetUp.exe: SetUp.exe beside a Data folder that holds
the package's files, the layout the program looks for when it starts.

  release-zip.py check PACKAGE
  release-zip.py make --program EXE --package PACKAGE --epoch SECONDS --output ZIP
  release-zip.py unpack ZIP FOLDER

check   refuses (exit status 1, one line per reason) a package folder that is
        missing or empty, that holds a folder (SetUp.exe copies only the files
        directly in it), or a file whose name Windows or code page 936 cannot hold.
make    checks the package, then writes the archive; on any failure no archive
        is left behind.
unpack  extracts an archive the way Windows' built-in extraction on a Chinese
        system does: names read in code page 936, the Unicode field ignored.

Names. Windows' built-in extraction reads a name without the UTF-8 flag in the
OEM code page (936 on a Chinese system), and versions before Windows 10 1903
ignore the flag altogether; 7-Zip, WinRAR and Bandizip prefer the Info-ZIP
Unicode Path extra field (0x7075). So each name is stored in code page 936,
without the flag, and carries that field with its UTF-8 form. SetUp.exe itself
reads the package through the ANSI calls, so a name code page 936 cannot hold
could not be copied anyway: such names are refused here, before anyone ships them.

Reproducible: entries in sorted order, every entry time the given epoch (UTC),
no owner, permissions or file times of the build machine, deflate at level 9.
The same inputs give the same bytes, in any folder, at any time.
"""

import argparse
import os
import struct
import sys
import tempfile
import time
import zipfile
import zlib

PROGRAM = 'SetUp.exe'
PACKAGE_FOLDER = 'Data'

ZIP_VERSION = 20  # 2.0: deflate and folders
MADE_ON_MSDOS = 0  # external attributes are FAT attributes, as Windows writes them
ATTRIBUTE_ARCHIVE = 0x20
ATTRIBUTE_DIRECTORY = 0x10
DEFLATE = 8
STORE = 0
UNICODE_PATH_FIELD = 0x7075
NO_ZIP64 = 0xFFFFFFFF  # sizes and offsets must stay below this without Zip64

# What Windows refuses in a file name, besides code points below 32.
WINDOWS_RESERVED_CHARS = set('<>:"/\\|?*')
WINDOWS_DEVICE_NAMES = {'CON', 'PRN', 'AUX', 'NUL'} | {f'{d}{n}' for d in ('COM', 'LPT') for n in range(1, 10)}
# What SetUp.exe puts into the product folder itself (deploy/InstallLayout.h) and so never copies from a package,
# besides itself: its own copy, the uninstaller, and the record of the installation.
SETUP_OWN_NAMES = {'SETUP.EXE', 'UNINSTALL.EXE', 'UNINSTALL.DAT'}


class Refused(Exception):
    """The package cannot ship; the message lines say why."""


def shown(name):
    # Linux names need not be UTF-8: show undecodable bytes instead of failing on them.
    return os.fsencode(name).decode('utf-8', 'backslashreplace')


def name_problem(name):
    """Why SetUp.exe could not copy a file of this name, or None."""
    try:
        if name.encode('cp936').decode('cp936') != name:
            raise UnicodeError
    except UnicodeError:
        return 'code page 936 cannot write this name'
    if any(c in WINDOWS_RESERVED_CHARS or ord(c) < 32 for c in name):
        return 'Windows refuses the characters <>:"/\\|?* and control characters in a name'
    if name.endswith(('.', ' ')):
        return 'Windows drops a trailing dot or space from a name'
    if name.split('.')[0].upper() in WINDOWS_DEVICE_NAMES:
        return 'Windows reserves this name for a device'
    if name.upper() in SETUP_OWN_NAMES:
        return 'SetUp.exe keeps this name for itself'
    return None


def package_files(package):
    """The package's file names, sorted; raises Refused with every reason found."""
    if not os.path.isdir(package):
        raise Refused([f'no package folder {shown(package)}'])
    names = sorted(os.listdir(package))
    if not names:
        raise Refused([f'the package folder {shown(package)} is empty'])
    reasons = []
    for name in names:
        path = os.path.join(package, name)
        if os.path.isdir(path):
            reasons.append(f'{shown(name)}: a folder; SetUp.exe copies only the files directly in the package folder')
        elif not os.path.isfile(path):
            reasons.append(f'{shown(name)}: not a file')
        else:
            problem = name_problem(name)
            if problem:
                reasons.append(f'{shown(name)}: {problem}, so SetUp.exe could not copy it; rename it')
    if reasons:
        raise Refused([f'the package folder {shown(package)} cannot ship:'] + ['  ' + r for r in reasons])
    return names


def dos_date_time(epoch):
    """The epoch as a zip entry's (time, date), in UTC so no time zone enters."""
    t = time.gmtime(min(max(epoch, 315532800), 4354819198))  # what DOS dates can hold: 1980 to 2107
    return ((t.tm_hour << 11) | (t.tm_min << 5) | (t.tm_sec // 2),
            ((t.tm_year - 1980) << 9) | (t.tm_mon << 5) | t.tm_mday)


def unicode_path_field(stored, name):
    # Info-ZIP Unicode Path: version 1, the CRC-32 of the stored name (a reader
    # ignores the field when the name was changed without it), the UTF-8 name.
    body = struct.pack('<BI', 1, zlib.crc32(stored)) + name.encode('utf-8')
    return struct.pack('<HH', UNICODE_PATH_FIELD, len(body)) + body


class ArchiveWriter:
    """Writes entries in the order given; sizes go into each local header after
    the data (the file is seekable), so no data descriptors are needed."""

    def __init__(self, out, epoch):
        self.out = out
        self.time, self.date = dos_date_time(epoch)
        self.central = []

    def _header(self, name, method, crc, packed, size):
        stored = name.encode('cp936')
        extra = unicode_path_field(stored, name)
        fields = (ZIP_VERSION, 0, method, self.time, self.date, crc, packed, size, len(stored), len(extra))
        return struct.pack('<IHHHHHIIIHH', 0x04034B50, *fields) + stored + extra, fields, stored + extra

    def add_folder(self, name):
        self._add(name + '/', b'', STORE, ATTRIBUTE_DIRECTORY)

    def add_file(self, name, path):
        with open(path, 'rb') as f:
            self._add(name, f, DEFLATE, ATTRIBUTE_ARCHIVE)

    def _add(self, name, source, method, attributes):
        offset = self.out.tell()
        header, _, _ = self._header(name, method, 0, 0, 0)
        self.out.write(header)
        crc = size = packed = 0
        if method == DEFLATE:
            deflate = zlib.compressobj(9, zlib.DEFLATED, -15)
            while chunk := source.read(1 << 20):
                crc, size = zlib.crc32(chunk, crc), size + len(chunk)
                packed += self._write(deflate.compress(chunk))
            packed += self._write(deflate.flush())
        if max(size, packed, self.out.tell()) >= NO_ZIP64:
            raise Refused([f'{shown(name)}: too large for an archive without Zip64'])
        end = self.out.tell()
        header, fields, tail = self._header(name, method, crc, packed, size)
        self.out.seek(offset)
        self.out.write(header)
        self.out.seek(end)
        self.central.append(struct.pack('<IHHHHHHIIIHHHHHII', 0x02014B50, (MADE_ON_MSDOS << 8) | ZIP_VERSION,
                                        *fields, 0, 0, 0, attributes, offset) + tail)

    def _write(self, data):
        self.out.write(data)
        return len(data)

    def finish(self):
        start = self.out.tell()
        for record in self.central:
            self.out.write(record)
        count, size = len(self.central), self.out.tell() - start
        if count > 0xFFFF or self.out.tell() >= NO_ZIP64:
            raise Refused(['too many files for an archive without Zip64'])
        self.out.write(struct.pack('<IHHHHIIH', 0x06054B50, 0, 0, count, count, size, start, 0))


def make(program, package, epoch, output):
    names = package_files(package)
    entries = [(PROGRAM, program), (PACKAGE_FOLDER, None)]
    entries += [(f'{PACKAGE_FOLDER}/{n}', os.path.join(package, n)) for n in names]
    folder = os.path.dirname(os.path.abspath(output))
    fd, temporary = tempfile.mkstemp(dir=folder, prefix='.release-zip-')
    try:
        with os.fdopen(fd, 'wb') as out:
            writer = ArchiveWriter(out, epoch)
            for name, path in sorted(entries):
                if path is None:
                    writer.add_folder(name)
                else:
                    writer.add_file(name, path)
            writer.finish()
        os.chmod(temporary, 0o644)
        os.replace(temporary, output)
    except BaseException:
        os.unlink(temporary)
        raise


def unpack(archive, folder):
    with zipfile.ZipFile(archive, metadata_encoding='cp936') as z:
        for info in z.infolist():
            target = os.path.join(folder, *info.filename.rstrip('/').split('/'))
            if info.is_dir():
                os.makedirs(target, exist_ok=True)
                continue
            os.makedirs(os.path.dirname(target), exist_ok=True)
            with z.open(info) as source, open(target, 'wb') as out:
                while chunk := source.read(1 << 20):
                    out.write(chunk)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n\n')[0])
    commands = parser.add_subparsers(dest='command', required=True)
    check = commands.add_parser('check')
    check.add_argument('package')
    make_args = commands.add_parser('make')
    make_args.add_argument('--program', required=True)
    make_args.add_argument('--package', required=True)
    make_args.add_argument('--epoch', required=True, type=int)
    make_args.add_argument('--output', required=True)
    unpack_args = commands.add_parser('unpack')
    unpack_args.add_argument('archive')
    unpack_args.add_argument('folder')
    args = parser.parse_args()
    try:
        if args.command == 'check':
            package_files(args.package)
        elif args.command == 'make':
            make(args.program, args.package, args.epoch, args.output)
        else:
            unpack(args.archive, args.folder)
    except Refused as refused:
        for line in refused.args[0]:
            print(f'release: {line}', file=sys.stderr)
        return 1
    return 0


if __name__ == '__main__':
    sys.exit(main())
