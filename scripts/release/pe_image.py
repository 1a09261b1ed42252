"""The parts of a Windows program's PE headers that the release checks read."""

import struct


class PeImage:
    """A program's bytes, with its header fields, data directories and section table."""

    def __init__(self, image):
        self.image = image
        pe = struct.unpack_from("<I", image, 0x3C)[0]
        sections, self.characteristics = struct.unpack_from("<2xH14xH", image, pe + 4)
        optional_size = struct.unpack_from("<H", image, pe + 20)[0]
        optional = pe + 24
        self.pe32_plus = struct.unpack_from("<H", image, optional)[0] == 0x20B
        self.dll_characteristics = struct.unpack_from("<H", image, optional + 70)[0]
        self.directories = optional + (112 if self.pe32_plus else 96)
        self.sections = [struct.unpack_from("<8xIIII", image, optional + optional_size + 40 * i)
                         for i in range(sections)]

    def directory(self, index):
        """The address of data directory index (0 when the program has none)."""
        return struct.unpack_from("<I", self.image, self.directories + 8 * index)[0]

    def offset(self, rva):
        """The file offset of a relative virtual address."""
        for size, start, raw_size, raw_offset in self.sections:
            if start <= rva < start + max(size, raw_size):
                return raw_offset + rva - start
        raise ValueError(f"address {rva:#x} lies in no section")
