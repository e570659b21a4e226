// Bit reversal of bytes and 32-bit words through a 256-entry table built at start-up.
#pragma once
#include <cstdint>

void BuildBitReverseTable();
// Entry i holds i with its eight bits in reverse order.
const uint8_t* BitReverseTable();
uint32_t ReverseBits32(uint32_t w);
