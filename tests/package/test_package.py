"""A portable package as a user meets it, in two halves.
static: what can be read from the zips on any machine: their contents, each
binary's machine type, header flags, dates, build id, version resource,
imports and debug data, the viewer's manifest, the symbols zip, and the dialog
library's exports with their calling convention.
run: the zip unpacked into an empty folder, a fresh Wine prefix, the card
registered with the zip's own script, the viewer started from the unpacked
folder showing the picture, closed, and its settings file found beside it.
Usage: test_package.py x64|x86 static|run
The x86 run needs 32-bit Wine; without it that half is skipped (77)."""
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
import xml.etree.ElementTree as ElementTree
import zipfile
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'e2e'))
from pe_files import Binary, binutil, function_ends  # noqa: E402
from viewer import BUILD, SOURCE, WINE_RUN, WINTOOL, screenshot, wait_for  # noqa: E402

ARCH = sys.argv.pop(1) if len(sys.argv) > 1 else 'x64'
HALF = sys.argv.pop(1) if len(sys.argv) > 1 else 'static'
RED = (255, 0, 0)
TITLE = 'NARVO TV Viewer'
# What a statically linked program may import: the system's own libraries.
SYSTEM_DLLS = {'kernel32.dll', 'user32.dll', 'gdi32.dll', 'advapi32.dll', 'ole32.dll', 'oleaut32.dll',
               'comctl32.dll', 'comdlg32.dll', 'shell32.dll', 'shlwapi.dll', 'msvcrt.dll', 'hhctrl.ocx',
               'olepro32.dll', 'oleacc.dll', 'version.dll', 'winmm.dll', 'ntdll.dll', 'quartz.dll',
               'api-ms-win-crt-runtime-l1-1-0.dll'}
# A function of ours in each binary, to resolve with its debug file.
OUR_FUNCTION = {'NarvoTV.exe': 'WinMain', 'RADO_DU.DLL': 'InputFrameRate', 'SimTvCard.ax': 'DllGetClassObject'}
# The dialog library's exports, each with the bytes of arguments it removes on x86:
# two 32-bit arguments, as its callers expect of a WINAPI function.
DIALOG_EXPORTS = {'InputFrameRate': 8, 'SetupPresetChannel': 8, 'VersionInfo': 8}
# The commit time the package is made with: every date in it must be this one.
SOURCE_DATE_EPOCH = 1765432100
RT_MANIFEST, PROCESS_MANIFEST = 24, 1
ASM_V1 = '{urn:schemas-microsoft-com:asm.v1}'
ASM_V2 = '{urn:schemas-microsoft-com:asm.v2}'
ASM_V3 = '{urn:schemas-microsoft-com:asm.v3}'
COMPATIBILITY = '{urn:schemas-microsoft-com:compatibility.v1}'
SETTINGS_2005 = '{http://schemas.microsoft.com/SMI/2005/WindowsSettings}'
SETTINGS_2016 = '{http://schemas.microsoft.com/SMI/2016/WindowsSettings}'
SUPPORTED_OS = {'{35138b9a-5d96-4fbd-8e2d-a2440225f93a}',  # Windows 7
                '{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}',  # 8
                '{1f676c76-80e1-4239-95bb-83d0f6d0da78}',  # 8.1
                '{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}'}  # 10 and 11
VFT_APP, VFT_DLL = 1, 2
I686_BUILD = os.environ.get('NARVO_BUILD_I686', os.path.join(SOURCE, 'build', 'i686'))
# tools/setup leaves why this machine has no 32-bit Wine here.
WINE32_NOTE = os.path.join(SOURCE, 'build', 'wine32-missing.txt')


def make_package(out):
    subprocess.run([os.path.join(SOURCE, 'tools', 'package'), '--no-build', '--out', out, '--x64', BUILD,
                    '--x86', I686_BUILD], check=True, stdout=subprocess.DEVNULL,
                   env=dict(os.environ, SOURCE_DATE_EPOCH=str(SOURCE_DATE_EPOCH)))
    zips = glob.glob(os.path.join(out, 'NarvoTV-*-%s.zip' % ARCH))
    assert len(zips) == 1, zips
    return zips[0]


def debug_link(path):
    """The file name and CRC-32 that a binary's debug link names."""
    data = Binary(path).section_data('.gnu_debuglink')
    name = data[:data.index(0)].decode()
    at = (len(name) + 4) & ~3
    return name, int.from_bytes(data[at:at + 4], 'little')


def symbol_address(path, name):
    """The address of a function in a symbol table; i686 names carry a _ and an @ suffix."""
    for line in binutil(ARCH, 'nm', path).splitlines():
        fields = line.split()
        if len(fields) == 3 and fields[1] == 'T' and re.fullmatch('_?%s(@[0-9]+)?' % name, fields[2]):
            return '0x' + fields[0]
    raise AssertionError('%s not in %s' % (name, path))


def binaries_in(folder):
    return sorted(p for p in glob.glob(os.path.join(folder, '**', '*'), recursive=True)
                  if p.lower().endswith(('.exe', '.dll', '.ax')))


class Package(unittest.TestCase):
    """The zips, made from the build once for the class."""
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp(prefix='narvo-package-')
        cls.zip = make_package(os.path.join(cls.work, 'out'))

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.work, ignore_errors=True)

    def unpack(self, archive_path, name):
        folder = os.path.join(self.work, name)
        if not os.path.isdir(folder):
            with zipfile.ZipFile(archive_path) as archive:
                archive.extractall(folder)
        return folder

    def binaries(self):
        found = binaries_in(self.unpack(self.zip, 'files'))
        self.assertEqual(3, len(found), found)
        return found

    def debug_files(self):
        """{binary's file name + '.debug': path} from the symbols zip."""
        symbols = self.zip[:-len('.zip')] + '-symbols.zip'
        return {os.path.basename(p): p for p in glob.glob(os.path.join(self.unpack(symbols, 'symbols'), '*', '*'))}


class StaticChecks(Package):
    def test_zip_holds_the_program_its_companions_and_the_card(self):
        version = os.path.basename(self.zip)[len('NarvoTV-'):-len('-%s.zip' % ARCH)]
        top = 'NarvoTV-%s-%s/' % (version, ARCH)
        with zipfile.ZipFile(self.zip) as archive:
            names = set(archive.namelist())
            readme = archive.read(top + 'README.txt').decode('utf-8-sig')
            licence = archive.read(top + 'LICENSE.txt').decode('ascii')
            notices = archive.read(top + 'THIRD-PARTY-NOTICES.txt').decode('ascii')
            dates = {info.date_time for info in archive.infolist()}
        expected = {'NarvoTV.exe', 'README.txt', 'LICENSE.txt', 'THIRD-PARTY-NOTICES.txt', 'SimCard/SimTvCard.ax',
                    'SimCard/register.cmd', 'SimCard/unregister.cmd'}
        expected |= {name for name in ('RADO_DU.DLL', 'NarvoTV.chm') if os.path.exists(os.path.join(BUILD, 'bin', name))}
        self.assertEqual(names, {top + name for name in expected})
        self.assertIn('NarvoTV.ini', readme)
        self.assertIn(version, readme)
        self.assertIn('LICENSE.txt', readme)
        self.assertTrue(licence.startswith('MIT License\r\n'), licence[:40])
        self.assertIn('the NarvoTV authors', licence)
        for runtime in ('mingw-w64', 'winpthreads', 'libstdc++', 'GCC RUNTIME LIBRARY EXCEPTION'):
            self.assertIn(runtime, notices)
        # Dated by the commit, not by the build.
        self.assertEqual({time.gmtime(SOURCE_DATE_EPOCH)[:6]}, dates)

    def test_help_file_carries_no_compile_time(self):
        (chm,) = glob.glob(os.path.join(self.unpack(self.zip, 'files'), '*', 'NarvoTV.chm')) or [None]
        if chm is None:
            self.skipTest('no help compiler here')
        with open(chm, 'rb') as f:
            data = f.read()
        # The ITSF header's time; the #SYSTEM file's is cleared with it.
        self.assertEqual(b'ITSF', data[:4])
        self.assertEqual(bytes(4), data[0x10:0x14])

    def test_viewer_manifest_declares_how_windows_must_treat_it(self):
        (viewer,) = [b for b in self.binaries() if os.path.basename(b) == 'NarvoTV.exe']
        text = Binary(viewer).resource(RT_MANIFEST, PROCESS_MANIFEST)
        self.assertIsNotNone(text, 'no manifest')
        root = ElementTree.fromstring(text)
        self.assertEqual(ASM_V1 + 'assembly', root.tag)
        identity = root.find(ASM_V1 + 'assemblyIdentity')
        self.assertEqual({'amd64' if ARCH == 'x64' else 'x86'}, {identity.get('processorArchitecture')})
        version = os.path.basename(self.zip).split('-')[1]
        self.assertEqual(version + '.0', identity.get('version'))
        level = root.find('.//%srequestedExecutionLevel' % ASM_V2)
        self.assertEqual(('asInvoker', 'false'), (level.get('level'), level.get('uiAccess')))
        self.assertEqual(SUPPORTED_OS, {e.get('Id') for e in root.iter(COMPATIBILITY + 'supportedOS')})
        (controls,) = [e for e in root.iter(ASM_V1 + 'assemblyIdentity')
                       if e.get('name') == 'Microsoft.Windows.Common-Controls']
        self.assertEqual(('win32', '6.0.0.0', '6595b64144ccf1df', '*'),
                         (controls.get('type'), controls.get('version'), controls.get('publicKeyToken'),
                          controls.get('processorArchitecture')))
        settings = root.find('%sapplication/%swindowsSettings' % (ASM_V3, ASM_V3))
        awareness = settings.find(SETTINGS_2016 + 'dpiAwareness').text
        self.assertEqual(['PerMonitorV2', 'PerMonitor'], [w.strip() for w in awareness.split(',')])
        # What systems before Windows 10 1607 read.
        self.assertEqual('true/pm', settings.find(SETTINGS_2005 + 'dpiAware').text.strip())
        # The program speaks the system's code page.
        self.assertEqual([], [e.tag for e in root.iter() if e.tag.endswith('activeCodePage')])

    def test_binaries_are_hardened_for_the_windows_they_target(self):
        for binary in self.binaries():
            name = os.path.basename(binary)
            read = Binary(binary)
            flags = read.flags()
            expected = {'IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE', 'IMAGE_DLLCHARACTERISTICS_NX_COMPAT'}
            if ARCH == 'x64':
                expected.add('IMAGE_DLLCHARACTERISTICS_HIGH_ENTROPY_VA')
            if name == 'NarvoTV.exe':
                expected |= {'IMAGE_DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE', 'IMAGE_FILE_LARGE_ADDRESS_AWARE'}
            self.assertLessEqual(expected, flags, name)
            _, optional = read.headers
            self.assertEqual((6, 1, 6, 1), (optional.MajorSubsystemVersion, optional.MinorSubsystemVersion,
                                            optional.MajorOperatingSystemVersion,
                                            optional.MinorOperatingSystemVersion), name)
            # The stack protector's check, which only protected code links in.
            names = binutil(ARCH, 'nm', self.debug_files()[name + '.debug']).split()
            self.assertIn('__stack_chk_fail' if ARCH == 'x64' else '___stack_chk_fail', names, name)

    def test_binaries_are_dated_by_the_commit_and_matched_with_their_symbols_by_build_id(self):
        ids = set()
        for binary in self.binaries():
            name = os.path.basename(binary)
            debug = self.debug_files()[name + '.debug']
            for read in (Binary(binary), Binary(debug)):
                header, _ = read.headers
                self.assertEqual(SOURCE_DATE_EPOCH, header.TimeDateStamp, read.path)
            build_id = Binary(binary).build_id()
            self.assertRegex(build_id or '', '^[0-9a-f]{40}$', name)
            self.assertEqual(build_id, Binary(debug).build_id(), name)
            ids.add(build_id)
        self.assertEqual(3, len(ids))

    def test_binaries_carry_the_package_version(self):
        version = os.path.basename(self.zip).split('-')[1]
        types = {'NarvoTV.exe': VFT_APP, 'RADO_DU.DLL': VFT_DLL, 'SimTvCard.ax': VFT_DLL}
        for binary in self.binaries():
            name = os.path.basename(binary)
            read = Binary(binary)
            numbers, kind = read.fixed_version()
            self.assertEqual(version, '.'.join(map(str, numbers[:3])), name)
            self.assertEqual(types[name], kind, name)
            strings = read.version_strings()
            self.assertEqual((version, version, name),
                             (strings.get('FileVersion'), strings.get('ProductVersion'),
                              strings.get('OriginalFilename')), name)

    def test_binaries_are_built_for_the_package_machine(self):
        for binary in self.binaries():
            self.assertEqual(ARCH, Binary(binary).machine, binary)

    def test_binaries_need_nothing_beside_them(self):
        for binary in self.binaries():
            self.assertLessEqual(Binary(binary).imports(), SYSTEM_DLLS, binary)

    def test_binaries_carry_no_debug_information(self):
        for binary in self.binaries():
            read = Binary(binary)
            self.assertEqual([], [n for n in read.sections() if n.startswith(('.debug', '.zdebug'))], binary)
            self.assertFalse(read.has_symbol_table, binary)

    def test_symbols_zip_resolves_each_binary(self):
        binaries = self.binaries()
        by_name = self.debug_files()
        self.assertEqual(sorted(os.path.basename(b) + '.debug' for b in binaries), sorted(by_name))
        for binary in binaries:
            name, crc = debug_link(binary)
            self.assertEqual(os.path.basename(binary) + '.debug', name)
            debug = by_name[name]
            with open(debug, 'rb') as f:
                self.assertEqual(zlib.crc32(f.read()), crc, name)
            self.assertIn('.debug_line', Binary(debug).sections(), name)
            self.assertEqual(Binary(binary).sections()['.text'], Binary(debug).sections()['.text'], name)
            # A function of ours resolves to its source line.
            address = symbol_address(debug, OUR_FUNCTION[os.path.basename(binary)])
            said = binutil(ARCH, 'addr2line', '-f', '-e', debug, address).split()
            self.assertRegex(said[1], r'\.cpp:\d+$', name)
            # Under a fixed folder, wherever it was built.
            self.assertTrue(said[1].startswith('/narvotv/'), said)

    def test_dialog_exports_have_plain_names_and_remove_their_arguments(self):
        (library,) = [b for b in self.binaries() if os.path.basename(b) == 'RADO_DU.DLL']
        exports = Binary(library).exports()
        # The names callers look up, without the @8 of 32-bit WINAPI functions.
        self.assertEqual(sorted(DIALOG_EXPORTS), sorted(exports))
        if ARCH != 'x86':
            return
        # Each export ends where the next function of the symbol table begins; every
        # return on the way pops the two arguments (ret $0x8), none leaves them to the caller.
        starts = function_ends(ARCH, self.debug_files()['RADO_DU.DLL.debug'])
        for name, popped in DIALOG_EXPORTS.items():
            start = exports[name]
            self.assertIn(start, starts, name)
            end = starts[starts.index(start) + 1]
            returns = Binary(library).returns_of(ARCH, start, end)
            self.assertTrue(returns, '%s: no return between %#x and %#x' % (name, start, end))
            self.assertEqual(['ret $%#x' % popped] * len(returns), returns, name)


class RunChecks(Package):
    def wine(self, prefix, *args, check=True):
        with tempfile.TemporaryFile() as out:
            result = subprocess.run([WINE_RUN, '--prefix', prefix] + list(args), stdin=subprocess.DEVNULL,
                                    stdout=out, stderr=subprocess.STDOUT)
            out.seek(0)
            text = out.read().decode('cp932', 'replace')
        if check:
            self.assertEqual(result.returncode, 0, text)
        return text

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



def wine32_available():
    return os.access('/usr/lib/wine/wine', os.X_OK) and not os.path.exists(WINE32_NOTE)


if __name__ == '__main__':
    if HALF == 'run' and ARCH == 'x86' and not wine32_available():
        print('skipped: no 32-bit Wine here' + (': ' + open(WINE32_NOTE).read().strip() if os.path.exists(WINE32_NOTE) else ''))
        sys.exit(77)
    if not os.path.isfile(os.path.join(I686_BUILD if ARCH == 'x86' else BUILD, 'bin', 'NarvoTV.exe')):
        print('no %s build to package' % ARCH)
        sys.exit(1)
    unittest.main(defaultTest={'static': 'StaticChecks', 'run': 'RunChecks'}[HALF])
