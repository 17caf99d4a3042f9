#include "handoff/pe_machine.h"

namespace {

uint32_t Little(const unsigned char* bytes, int count)
{
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = value << 8 | bytes[i];
    return value;
}

}  // namespace

uint16_t PeMachine(const unsigned char* bytes, size_t size)
{
    // "MZ", then the offset of "PE\0\0" at 0x3C; the machine follows the signature.
    const size_t kNtHeaderOffsetAt = 0x3C;
    if (size < kNtHeaderOffsetAt + 4 || bytes[0] != 'M' || bytes[1] != 'Z')
        return 0;
    uint32_t nt = Little(bytes + kNtHeaderOffsetAt, 4);
    if (nt > size || size - nt < 6)
        return 0;
    const unsigned char* header = bytes + nt;
    if (header[0] != 'P' || header[1] != 'E' || header[2] != 0 || header[3] != 0)
        return 0;
    return static_cast<uint16_t>(Little(header + 4, 2));
}
