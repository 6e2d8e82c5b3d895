"""A portable package as a user meets it: the zip unpacked into an empty
folder, a fresh Wine prefix, the card registered with the zip's own script,
the viewer started from the unpacked folder showing the picture, closed, and
its settings file found beside it. Usage: test_package.py x64|x86
The x86 package needs 32-bit Wine; without it the test is skipped (77)."""
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest
import zipfile
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'e2e'))
from viewer import BUILD, SOURCE, WINE_RUN, WINTOOL, screenshot, wait_for  # noqa: E402

ARCH = sys.argv.pop(1) if len(sys.argv) > 1 else 'x64'
RED = (255, 0, 0)
TITLE = 'NARVO TV Viewer'
# What a statically linked program may import: the system's own libraries.
SYSTEM_DLLS = {'kernel32.dll', 'user32.dll', 'gdi32.dll', 'advapi32.dll', 'ole32.dll', 'oleaut32.dll',
               'comctl32.dll', 'comdlg32.dll', 'shell32.dll', 'shlwapi.dll', 'msvcrt.dll', 'hhctrl.ocx',
               'olepro32.dll', 'oleacc.dll', 'version.dll', 'winmm.dll', 'ntdll.dll', 'quartz.dll',
               'api-ms-win-crt-runtime-l1-1-0.dll'}
TOOLS = {'x64': 'x86_64-w64-mingw32-', 'x86': 'i686-w64-mingw32-'}[ARCH]
OBJDUMP = TOOLS + 'objdump'
# Binutils speak the user's language otherwise.
C_LOCALE = dict(os.environ, LC_ALL='C')
# A function of ours in each binary, to resolve with its debug file.
OUR_FUNCTION = {'NarvoTV.exe': 'WinMain', 'RADO_DU.DLL': 'InputFrameRate', 'SimTvCard.ax': 'DllGetClassObject'}
I686_BUILD = os.environ.get('NARVO_BUILD_I686', os.path.join(SOURCE, 'build', 'i686'))


def wine32_available():
    return os.path.exists('/usr/lib/wine/wine') or bool(glob.glob('/usr/lib/i386-linux-gnu/wine/i386-unix/ntdll.so'))


def make_package(out):
    subprocess.run([os.path.join(SOURCE, 'tools', 'package'), '--no-build', '--out', out, '--x64', BUILD,
                    '--x86', I686_BUILD], check=True, stdout=subprocess.DEVNULL)
    zips = glob.glob(os.path.join(out, 'NarvoTV-*-%s.zip' % ARCH))
    assert len(zips) == 1, zips
    return zips[0]


def objdump(*args):
    return subprocess.run([OBJDUMP] + list(args), check=True, capture_output=True, text=True, env=C_LOCALE).stdout


def imports(path):
    return {line.split(':', 1)[1].strip().lower() for line in objdump('-p', path).splitlines() if 'DLL Name:' in line}


def sections(path):
    """Name: (size, address) of each section."""
    found = {}
    for line in objdump('-h', path).splitlines():
        fields = line.split()
        if len(fields) >= 4 and fields[0].isdigit():
            found[fields[1]] = (int(fields[2], 16), int(fields[3], 16))
    return found


def debug_link(path):
    """The file name and CRC-32 that a binary's debug link names."""
    with tempfile.TemporaryDirectory() as work:
        link = os.path.join(work, 'link')
        subprocess.run([TOOLS + 'objcopy', '--dump-section', '.gnu_debuglink=' + link, path,
                        os.path.join(work, 'copy')], check=True, env=C_LOCALE)
        with open(link, 'rb') as f:
            data = f.read()
    name = data[:data.index(0)].decode()
    at = (len(name) + 4) & ~3
    return name, int.from_bytes(data[at:at + 4], 'little')


def symbol_address(path, name):
    """The address of a function in a symbol table; i686 names carry a _ and an @ suffix."""
    for line in subprocess.run([TOOLS + 'nm', path], check=True, capture_output=True, text=True,
                               env=C_LOCALE).stdout.splitlines():
        fields = line.split()
        if len(fields) == 3 and fields[1] == 'T' and re.fullmatch('_?%s(@[0-9]+)?' % name, fields[2]):
            return '0x' + fields[0]
    raise AssertionError('%s not in %s' % (name, path))


def binaries_in(folder):
    return sorted(p for p in glob.glob(os.path.join(folder, '**', '*'), recursive=True)
                  if p.lower().endswith(('.exe', '.dll', '.ax')))


class PackageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp(prefix='narvo-package-')
        cls.zip = make_package(os.path.join(cls.work, 'out'))

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.work, ignore_errors=True)

    def wine(self, prefix, *args, check=True):
        with tempfile.TemporaryFile() as out:
            result = subprocess.run([WINE_RUN, '--prefix', prefix] + list(args), stdin=subprocess.DEVNULL,
                                    stdout=out, stderr=subprocess.STDOUT)
            out.seek(0)
            text = out.read().decode('cp932', 'replace')
        if check:
            self.assertEqual(result.returncode, 0, text)
        return text

    def test_zip_holds_the_program_its_companions_and_the_card(self):
        version = os.path.basename(self.zip)[len('NarvoTV-'):-len('-%s.zip' % ARCH)]
        top = 'NarvoTV-%s-%s/' % (version, ARCH)
        with zipfile.ZipFile(self.zip) as archive:
            names = set(archive.namelist())
            readme = archive.read(top + 'README.txt').decode('utf-8-sig')
        expected = {'NarvoTV.exe', 'README.txt', 'SimCard/SimTvCard.ax', 'SimCard/register.cmd',
                    'SimCard/unregister.cmd'}
        expected |= {name for name in ('RADO_DU.DLL', 'NarvoTV.chm') if os.path.exists(os.path.join(BUILD, 'bin', name))}
        self.assertEqual(names, {top + name for name in expected})
        self.assertIn('NarvoTV.ini', readme)
        self.assertIn(version, readme)

    def unpack(self, archive_path, name):
        folder = os.path.join(self.work, name)
        if not os.path.isdir(folder):
            with zipfile.ZipFile(archive_path) as archive:
                archive.extractall(folder)
        return folder

    def test_binaries_need_nothing_beside_them(self):
        binaries = binaries_in(self.unpack(self.zip, 'imports'))
        self.assertTrue(binaries)
        for binary in binaries:
            self.assertLessEqual(imports(binary), SYSTEM_DLLS, binary)

    def test_binaries_carry_no_debug_information(self):
        binaries = binaries_in(self.unpack(self.zip, 'imports'))
        self.assertEqual(3, len(binaries), binaries)
        for binary in binaries:
            names = sections(binary)
            self.assertEqual([], [n for n in names if n.startswith(('.debug', '.zdebug'))], binary)
            self.assertIn('no symbols', objdump('-t', binary), binary)

    def test_symbols_zip_resolves_each_binary(self):
        symbols = self.zip[:-len('.zip')] + '-symbols.zip'
        binaries = binaries_in(self.unpack(self.zip, 'imports'))
        debug_files = glob.glob(os.path.join(self.unpack(symbols, 'symbols'), '*', '*'))
        by_name = {os.path.basename(p): p for p in debug_files}
        self.assertEqual(sorted(os.path.basename(b) + '.debug' for b in binaries), sorted(by_name))
        for binary in binaries:
            name, crc = debug_link(binary)
            self.assertEqual(os.path.basename(binary) + '.debug', name)
            debug = by_name[name]
            with open(debug, 'rb') as f:
                self.assertEqual(zlib.crc32(f.read()), crc, name)
            self.assertIn('.debug_line', sections(debug), name)
            self.assertEqual(sections(binary)['.text'], sections(debug)['.text'], name)
            # A function of ours resolves to its source line.
            address = symbol_address(debug, OUR_FUNCTION[os.path.basename(binary)])
            said = subprocess.run([TOOLS + 'addr2line', '-f', '-e', debug, address], check=True,
                                  capture_output=True, text=True, env=C_LOCALE).stdout.split()
            self.assertRegex(said[1], r'\.cpp:\d+$', name)
            self.assertTrue(said[1].startswith(os.path.realpath(SOURCE) + '/'), said)

    def test_unpacked_viewer_shows_the_card_and_keeps_its_settings_beside_it(self):
        folder = os.path.join(self.work, 'unpacked')
        os.mkdir(folder)
        with zipfile.ZipFile(self.zip) as archive:
            archive.extractall(folder)
        (top,) = os.listdir(folder)
        home = os.path.join(folder, top)
        prefix = os.path.join(self.work, 'prefix')

        said = self.wine(prefix, 'cmd', '/c', 'Z:' + os.path.join(home, 'SimCard', 'register.cmd').replace('/', '\\'))
        self.assertIn('登録しました', said)
        subprocess.run(['wineserver', '-w'], env=dict(os.environ, WINEPREFIX=prefix), check=True)

        viewer = subprocess.Popen([WINE_RUN, '--prefix', prefix, os.path.join(home, 'NarvoTV.exe')],
                                  stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            def client():
                text = self.wine(prefix, WINTOOL, 'info', TITLE, check=False)
                values = dict(line.split(' ', 1) for line in text.splitlines() if ' ' in line)
                if values.get('visible') != '1':
                    return None
                return [int(n) for n in values['client'].split()]
            x, y, _, _ = wait_for(client, 'the viewer window')
            wait_for(lambda: screenshot().pixel(x + 12, y + 12) == RED, 'the picture of the tuner input')
            self.wine(prefix, WINTOOL, 'close', TITLE)
            self.assertEqual(viewer.wait(timeout=90), 0)
        finally:
            if viewer.poll() is None:
                viewer.kill()
        self.assertTrue(os.path.isfile(os.path.join(home, 'NarvoTV.ini')), os.listdir(home))

        said = self.wine(prefix, 'cmd', '/c', 'Z:' + os.path.join(home, 'SimCard', 'unregister.cmd').replace('/', '\\'))
        self.assertIn('解除しました', said)
        subprocess.run(['wineserver', '-k'], env=dict(os.environ, WINEPREFIX=prefix))


if __name__ == '__main__':
    if ARCH == 'x86' and not (wine32_available() and os.path.isfile(os.path.join(I686_BUILD, 'bin', 'NarvoTV.exe'))):
        print('skipped: no 32-bit Wine or no i686 build')
        sys.exit(77)
    unittest.main()
