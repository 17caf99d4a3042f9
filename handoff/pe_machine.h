// The machine a Windows program or library is built for, read from its PE
// header: MirthTool starts the MAPI helper of the mail library's bitness.
// Portable.
#pragma once

#include <cstddef>
#include <cstdint>

const uint16_t kMachineI386 = 0x014C;
const uint16_t kMachineAmd64 = 0x8664;

// How many bytes from the start of the file PeMachine looks at.
const size_t kPeHeaderBytes = 4096;

// The machine field of the PE header in the first `size` bytes of a file, or
// 0 when they hold no PE header.
uint16_t PeMachine(const unsigned char* bytes, size_t size);
