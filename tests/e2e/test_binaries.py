"""What the build puts beside NarvoTV.exe, read from the files themselves:
the dialog library's export names on both targets (no stdcall decoration on
i686), the libraries each binary imports, and the help file's contents."""
import os
import struct
import unittest

BUILD = os.environ['NARVO_BUILD']
# tools/test builds the i686 target beside this one.
TARGETS = {'x86_64': BUILD, 'i686': os.path.join(os.path.dirname(BUILD), 'i686')}
SYSTEM_LIBRARIES = {'kernel32.dll', 'user32.dll', 'comctl32.dll', 'msvcrt.dll', 'gdi32.dll'}


class PortableExecutable:
    def __init__(self, path):
        with open(path, 'rb') as f:
            self.data = f.read()
        pe = struct.unpack_from('<I', self.data, 0x3C)[0]
        assert self.data[pe:pe + 4] == b'PE\0\0'
        sections, optional_size = struct.unpack_from('<H12xH', self.data, pe + 6)
        optional = pe + 24
        magic = struct.unpack_from('<H', self.data, optional)[0]
        directories = optional + (96 if magic == 0x10B else 112)
        self.directories = [struct.unpack_from('<II', self.data, directories + 8 * i) for i in range(2)]
        table = optional + optional_size
        self.sections = [struct.unpack_from('<8xIIII', self.data, table + 40 * i) for i in range(sections)]

    def offset(self, rva):
        for size, address, raw_size, raw in self.sections:
            if address <= rva < address + max(size, raw_size):
                return rva - address + raw
        raise ValueError('rva %#x outside every section' % rva)

    def string(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b'\0', start)].decode('ascii')

    def exports(self):
        rva, size = self.directories[0]
        if not size:
            return []
        count, names = struct.unpack_from('<24xI4xI', self.data, self.offset(rva))
        return [self.string(struct.unpack_from('<I', self.data, self.offset(names) + 4 * i)[0])
                for i in range(count)]

    def imports(self):
        rva, size = self.directories[1]
        found, entry = [], self.offset(rva)
        while True:
            name = struct.unpack_from('<12xI', self.data, entry)[0]
            if not name:
                return found
            found.append(self.string(name).lower())
            entry += 20


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
            library = PortableExecutable(os.path.join(folder, 'RADO_DU.DLL'))
            self.assertEqual(['InputFrameRate', 'SetupPresetChannel', 'VersionInfo'], sorted(library.exports()),
                             target)
            self.assertLessEqual(set(library.imports()), SYSTEM_LIBRARIES, target)

    def test_viewer_does_not_import_the_help_viewer(self):
        for target, folder in self.bins():
            imports = PortableExecutable(os.path.join(folder, 'NarvoTV.exe')).imports()
            self.assertIn('kernel32.dll', imports, target)
            self.assertNotIn('hhctrl.ocx', imports, target)
            self.assertNotIn('rado_du.dll', imports, target)

    def test_help_file_holds_the_pages_contents_and_index(self):
        for target, folder in self.bins():
            with open(os.path.join(folder, 'NarvoTV.chm'), 'rb') as f:
                data = f.read()
            self.assertEqual(b'ITSF', data[:4], target)
            # The directory lists every stored file by name.
            for name in (b'/index.html', b'/menu.html', b'/settings.html', b'/trouble.html', b'/NarvoTV.hhc',
                         b'/NarvoTV.hhk', b'/#TOPICS'):
                self.assertIn(name, data, target)


if __name__ == '__main__':
    unittest.main()
