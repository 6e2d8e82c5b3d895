"""The project's binaries as Windows reads them: machine type, exports,
imports and sections through pefile, and the code of an export through the
cross binutils, whose names for things are the ones the build used."""
import os
import re
import subprocess

import pefile

MACHINES = {pefile.MACHINE_TYPE['IMAGE_FILE_MACHINE_AMD64']: 'x64',
            pefile.MACHINE_TYPE['IMAGE_FILE_MACHINE_I386']: 'x86'}
TOOLS = {'x64': 'x86_64-w64-mingw32-', 'x86': 'i686-w64-mingw32-'}
# Binutils speak the user's language otherwise.
C_LOCALE = dict(os.environ, LC_ALL='C')


def binutil(arch, tool, *args):
    return subprocess.run([TOOLS[arch] + tool] + list(args), check=True, capture_output=True, text=True,
                          env=C_LOCALE).stdout


class Binary:
    def __init__(self, path):
        self.path = path
        self.pe = pefile.PE(path, fast_load=True)
        self.pe.parse_data_directories(directories=[pefile.DIRECTORY_ENTRY['IMAGE_DIRECTORY_ENTRY_IMPORT'],
                                                    pefile.DIRECTORY_ENTRY['IMAGE_DIRECTORY_ENTRY_EXPORT']])

    @property
    def machine(self):
        """'x64', 'x86', or the raw number of anything else."""
        number = self.pe.FILE_HEADER.Machine
        return MACHINES.get(number, number)

    @property
    def image_base(self):
        return self.pe.OPTIONAL_HEADER.ImageBase

    def exports(self):
        """{name: address} of the exported functions."""
        directory = getattr(self.pe, 'DIRECTORY_ENTRY_EXPORT', None)
        if directory is None:
            return {}
        return {s.name.decode('ascii'): self.image_base + s.address for s in directory.symbols if s.name}

    def imported_functions(self):
        """{library name in lower case: [function names]}"""
        return {entry.dll.decode('ascii').lower(): [i.name.decode('ascii') for i in entry.imports if i.name]
                for entry in getattr(self.pe, 'DIRECTORY_ENTRY_IMPORT', [])}

    def imports(self):
        """Imported library names, lower case."""
        return set(self.imported_functions())

    def section_name(self, section):
        """A section's full name: names longer than eight bytes (.debug_info, .gnu_debuglink)
        stand in the COFF string table, and the header holds '/' and their offset there."""
        name = section.Name.rstrip(b'\0').decode('ascii')
        if not re.fullmatch(r'/\d+', name):
            return name
        header = self.pe.FILE_HEADER
        at = header.PointerToSymbolTable + 18 * header.NumberOfSymbols + int(name[1:])
        data = self.pe.__data__
        return data[at:data.find(b'\0', at)].decode('ascii')

    def sections(self):
        """{name: (virtual size, address)}"""
        return {self.section_name(s): (s.Misc_VirtualSize, s.VirtualAddress) for s in self.pe.sections}

    def section_data(self, name):
        (section,) = [s for s in self.pe.sections if self.section_name(s) == name]
        return section.get_data()

    @property
    def has_symbol_table(self):
        return self.pe.FILE_HEADER.NumberOfSymbols != 0

    def returns_of(self, arch, start, end):
        """The return instructions between two addresses, as objdump writes them ('ret', 'ret $0x8')."""
        listing = binutil(arch, 'objdump', '-d', '--no-show-raw-insn', '--start-address=%#x' % start,
                          '--stop-address=%#x' % end, self.path)
        return [re.sub(r'\s+', ' ', m.group(1)).strip()
                for m in re.finditer(r'^\s*[0-9a-f]+:\s+((?:repz )?ret[lq]?\b[^\n#<]*)', listing, re.M)]


def function_ends(arch, debug_file):
    """The sorted start addresses of every function and object in a symbol table: each
    function ends where the next begins."""
    starts = set()
    for line in binutil(arch, 'nm', '-n', debug_file).splitlines():
        fields = line.split()
        if len(fields) == 3 and fields[1] in 'TtDdBbRr':
            starts.add(int(fields[0], 16))
    return sorted(starts)
