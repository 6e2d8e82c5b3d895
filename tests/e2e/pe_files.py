"""The project's binaries as Windows reads them: machine type, header flags,
exports, imports, resources, build id and sections through pefile, and the code of an export through the
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
        self.pe.parse_data_directories(directories=[pefile.DIRECTORY_ENTRY[name] for name in (
            'IMAGE_DIRECTORY_ENTRY_IMPORT', 'IMAGE_DIRECTORY_ENTRY_EXPORT', 'IMAGE_DIRECTORY_ENTRY_RESOURCE',
            'IMAGE_DIRECTORY_ENTRY_DEBUG')])

    @property
    def machine(self):
        """'x64', 'x86', or the raw number of anything else."""
        number = self.pe.FILE_HEADER.Machine
        return MACHINES.get(number, number)

    @property
    def image_base(self):
        return self.pe.OPTIONAL_HEADER.ImageBase

    @property
    def headers(self):
        """The file and optional headers, as pefile names their fields."""
        return self.pe.FILE_HEADER, self.pe.OPTIONAL_HEADER

    def flags(self):
        """The names of the characteristics and DLL characteristics bits that are set."""
        header, optional = self.headers
        return {name for table, prefix, value in (
            (pefile.IMAGE_CHARACTERISTICS, 'IMAGE_FILE_', header.Characteristics),
            (pefile.DLL_CHARACTERISTICS, 'IMAGE_DLLCHARACTERISTICS_', optional.DllCharacteristics))
            for name, bit in pefile.retrieve_flags(table, prefix) if value & bit}

    def resource(self, type_id, name_id):
        """The data of a resource (any language), or None."""
        directory = getattr(self.pe, 'DIRECTORY_ENTRY_RESOURCE', None)
        for kind in directory.entries if directory else []:
            if kind.id != type_id:
                continue
            for name in kind.directory.entries:
                if name.id == name_id:
                    data = name.directory.entries[0].data.struct
                    return self.pe.get_data(data.OffsetToData, data.Size)
        return None

    def version_strings(self):
        """{key: value} of the version resource's string table."""
        strings = {}
        for info in getattr(self.pe, 'FileInfo', []):
            for entry in info:
                for table in getattr(entry, 'StringTable', []):
                    strings.update({k.decode(): v.decode() for k, v in table.entries.items()})
        return strings

    def fixed_version(self):
        """The fixed part of the version resource: (file version, file type)."""
        (fixed,) = self.pe.VS_FIXEDFILEINFO
        version = (fixed.FileVersionMS >> 16, fixed.FileVersionMS & 0xffff, fixed.FileVersionLS >> 16,
                   fixed.FileVersionLS & 0xffff)
        return version, fixed.FileType

    def build_id(self):
        """The build id the linker wrote (the GUID and age of a CodeView record) in hex, or None."""
        for entry in getattr(self.pe, 'DIRECTORY_ENTRY_DEBUG', []):
            if entry.struct.Type == pefile.DEBUG_TYPE['IMAGE_DEBUG_TYPE_CODEVIEW']:
                at = entry.struct.PointerToRawData
                record = self.pe.__data__[at:at + entry.struct.SizeOfData]
                if record[:4] == b'RSDS':
                    return record[4:24].hex()
        return None

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
