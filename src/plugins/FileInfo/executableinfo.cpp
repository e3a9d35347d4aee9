#include "executableinfo.h"

#include "binaryreader.h"
#include "catalogue/filetypedescription.h"

#include <cstdio>

namespace zentrix::fileinfo {
namespace {

std::string elfMachine(uint32_t m) {
    switch (m) {
    case 2:
        return "SPARC";
    case 3:
        return "Intel 80386";
    case 8:
        return "MIPS";
    case 18:
        return "SPARC32PLUS";
    case 20:
        return "PowerPC";
    case 21:
        return "PowerPC64";
    case 22:
        return "IBM S/390";
    case 40:
        return "ARM";
    case 42:
        return "SuperH";
    case 43:
        return "SPARC V9";
    case 50:
        return "Intel IA-64";
    case 62:
        return "x86-64";
    case 183:
        return "AArch64";
    case 243:
        return "RISC-V";
    case 247:
        return "BPF";
    case 258:
        return "LoongArch";
    default: {
        char buf[32];
        std::snprintf(buf, sizeof buf, "machine %u", m);
        return buf;
    }
    }
}

std::string elfOsAbi(uint32_t abi) {
    switch (abi) {
    case 0:
        return "System V";
    case 3:
        return "GNU/Linux";
    case 6:
        return "Solaris";
    case 9:
        return "FreeBSD";
    case 12:
        return "OpenBSD";
    default:
        return "ABI " + std::to_string(abi);
    }
}

std::string peMachine(uint32_t m) {
    switch (m) {
    case 0x14C:
        return "Intel 80386";
    case 0x8664:
        return "x86-64";
    case 0x1C0:
        return "ARM";
    case 0x1C4:
        return "ARM Thumb-2";
    case 0xAA64:
        return "ARM64";
    case 0x200:
        return "Intel IA-64";
    case 0x0:
        return "any machine";
    default: {
        char buf[32];
        std::snprintf(buf, sizeof buf, "machine 0x%04X", m);
        return buf;
    }
    }
}

std::string peSubsystem(uint32_t s) {
    switch (s) {
    case 1:
        return "native";
    case 2:
        return "Windows GUI";
    case 3:
        return "Windows console";
    case 5:
        return "OS/2 console";
    case 7:
        return "POSIX console";
    case 9:
        return "Windows CE GUI";
    case 10:
        return "EFI application";
    case 11:
        return "EFI boot service driver";
    case 12:
        return "EFI runtime driver";
    case 13:
        return "EFI ROM";
    case 14:
        return "Xbox";
    case 16:
        return "Windows boot application";
    default:
        return "subsystem " + std::to_string(s);
    }
}

} // namespace

bool DescribeElf(const std::string& path, std::vector<std::string>& lines) {
    BinaryReader f(path);
    unsigned char ident[16];
    if (!f.ok() || !f.read(0, ident, sizeof ident) || ident[0] != 0x7F || ident[1] != 'E' ||
        ident[2] != 'L' || ident[3] != 'F')
        return false;
    const bool is64 = ident[4] == 2;
    if (ident[4] != 1 && ident[4] != 2) {
        lines.push_back("Executable: ELF file of unknown class " + std::to_string(ident[4]));
        return true;
    }
    f.bigEndian = ident[5] == 2;

    uint32_t type = 0, machine = 0, phentsize = 0, phnum = 0;
    uint64_t phoff = 0;
    f.u16(16, type);
    f.u16(18, machine);
    if (is64) {
        f.u64(32, phoff);
        f.u16(54, phentsize);
        f.u16(56, phnum);
    } else {
        uint32_t off32 = 0;
        f.u32(28, off32);
        phoff = off32;
        f.u16(42, phentsize);
        f.u16(44, phnum);
    }

    // The program headers tell a PIE from a library and dynamic from static linking.
    // Only the first interpreter counts: a file may name thousands.
    std::string interpreter;
    bool interpreterSeen = false;
    bool dynamic = false;
    const uint64_t minEntry = is64 ? 56 : 32;
    if (phoff != 0 && phentsize >= minEntry && phnum < 4096) {
        for (uint32_t i = 0; i < phnum; ++i) {
            const uint64_t at = phoff + uint64_t(i) * phentsize;
            uint32_t ptype = 0;
            if (!f.u32(at, ptype))
                break;
            if (ptype == 2)
                dynamic = true;
            if (ptype == 3 && !interpreterSeen) {
                interpreterSeen = true;
                uint64_t offset = 0;
                if (is64) {
                    f.u64(at + 8, offset);
                } else {
                    uint32_t o = 0;
                    f.u32(at + 4, o);
                    offset = o;
                }
                interpreter = f.cString(offset, 4096);
            }
        }
    }

    std::string kind;
    switch (type) {
    case 1:
        kind = "relocatable object";
        break;
    case 2:
        kind = "executable";
        break;
    case 3:
        kind = interpreter.empty() ? "shared library" : "position-independent executable";
        break;
    case 4:
        kind = "core dump";
        break;
    default:
        kind = "type " + std::to_string(type);
        break;
    }

    lines.push_back("Executable: ELF " + std::string(is64 ? "64-bit" : "32-bit") + " " + kind);
    lines.push_back("Machine: " + elfMachine(machine) + ", " +
                    (f.bigEndian ? "big endian" : "little endian") + ", " + elfOsAbi(ident[7]));
    if (type == 2 || type == 3)
        lines.push_back(std::string("Linking: ") + (dynamic ? "dynamic" : "static"));
    if (!interpreter.empty())
        lines.push_back("Interpreter: " + interpreter);
    return true;
}

bool DescribeWindowsExecutable(const std::string& path, std::vector<std::string>& lines) {
    BinaryReader f(path);
    char mz[2];
    if (!f.ok() || !f.read(0, mz, 2) || mz[0] != 'M' || mz[1] != 'Z')
        return false;

    uint32_t newHeader = 0;
    char sig[4] = {};
    if (f.u32(0x3C, newHeader) && newHeader >= 0x40 && f.read(newHeader, sig, 4)) {
        if (sig[0] == 'P' && sig[1] == 'E' && sig[2] == 0 && sig[3] == 0) {
            const uint64_t coff = uint64_t(newHeader) + 4;
            uint32_t machine = 0, characteristics = 0, optSize = 0, magic = 0, subsystem = 0;
            f.u16(coff, machine);
            f.u16(coff + 16, optSize);
            f.u16(coff + 18, characteristics);
            const uint64_t opt = coff + 20;
            f.u16(opt, magic);
            const bool plus = magic == 0x20B;
            const bool isDll = (characteristics & 0x2000) != 0;
            if (optSize >= 70)
                f.u16(opt + 68, subsystem);
            // A CLR header in data directory 14 makes it a .NET assembly.
            bool dotNet = false;
            const uint64_t dirCountAt = opt + (plus ? 108 : 92);
            const uint64_t clrAt = opt + (plus ? 112 : 96) + 14 * 8;
            uint32_t dirCount = 0, clrRva = 0;
            if (optSize >= (clrAt + 8 - opt) && f.u32(dirCountAt, dirCount) && dirCount > 14 &&
                f.u32(clrAt, clrRva))
                dotNet = clrRva != 0;

            lines.push_back(std::string("Executable: Windows ") + (plus ? "PE32+ " : "PE32 ") +
                            (isDll ? "dynamic-link library" : "program") +
                            (dotNet ? " (.NET assembly)" : ""));
            lines.push_back("Machine: " + peMachine(machine));
            if (subsystem != 0)
                lines.push_back("Subsystem: " + peSubsystem(subsystem));
            const std::string description = VersionResourceDescription(path);
            if (!description.empty())
                lines.push_back("Description: " + description);
            return true;
        }
        if (sig[0] == 'N' && sig[1] == 'E') {
            lines.push_back("Executable: 16-bit Windows (NE) module");
            const std::string description = NeModuleDescription(path);
            if (!description.empty())
                lines.push_back("Description: " + description);
            return true;
        }
    }
    lines.push_back("Executable: DOS program");
    return true;
}

} // namespace zentrix::fileinfo
