"""What the build puts beside NarvoTV.exe, read from the files themselves:
the dialog library's export names on both targets (no stdcall decoration on
i686), the libraries each binary imports, and the help file's contents."""
import os
import unittest

from pe_files import Binary

BUILD = os.environ['NARVO_BUILD']
# tools/test builds the i686 target beside this one.
TARGETS = {'x86_64': BUILD, 'i686': os.path.join(os.path.dirname(BUILD), 'i686')}
# advapi32: the stack protector seeds its guard from the system's random source.
SYSTEM_LIBRARIES = {'kernel32.dll', 'user32.dll', 'comctl32.dll', 'msvcrt.dll', 'gdi32.dll', 'advapi32.dll'}


class BinariesTest(unittest.TestCase):
    def bins(self):
        for target, build in TARGETS.items():
            folder = os.path.join(build, 'bin')
            if target != 'x86_64' and not os.path.isdir(folder):
                print('no %s build here: checked x86_64 only' % target)
                continue
            yield target, folder

    def test_dialog_library_exports_the_three_plain_names_and_imports_system_libraries(self):
        for target, folder in self.bins():
            library = Binary(os.path.join(folder, 'RADO_DU.DLL'))
            self.assertEqual(['InputFrameRate', 'SetupPresetChannel', 'VersionInfo'], sorted(library.exports()),
                             target)
            self.assertLessEqual(library.imports(), SYSTEM_LIBRARIES, target)

    def test_viewer_imports_neither_the_help_viewer_nor_the_dialogs(self):
        for target, folder in self.bins():
            imports = Binary(os.path.join(folder, 'NarvoTV.exe')).imported_functions()
            # The start folder is taken out of the library search order.
            self.assertIn('SetDllDirectoryA', imports['kernel32.dll'], target)
            self.assertNotIn('hhctrl.ocx', imports, target)
            self.assertNotIn('rado_du.dll', imports, target)

    def test_help_file_holds_the_pages_contents_and_index(self):
        for target, folder in self.bins():
            with open(os.path.join(folder, 'NarvoTV.chm'), 'rb') as f:
                data = f.read()
            self.assertEqual(b'ITSF', data[:4], target)
            # The directory lists every stored file by name; the index is the
            # sitemap itself (a binary index would carry the compile time).
            for name in (b'/index.html', b'/menu.html', b'/settings.html', b'/trouble.html', b'/NarvoTV.hhc',
                         b'/NarvoTV.hhk', b'/#SYSTEM'):
                self.assertIn(name, data, target)


if __name__ == '__main__':
    unittest.main()
