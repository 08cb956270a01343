// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/transfer/link/FlowControlTables.h"

namespace quelvo {
namespace {

struct Limits {
  int xon;
  int xoff;
};

constexpr Limits kSend[] = {
    {0, 2},    {0, 3},    {0, 4},    {0, 5},    {0, 6},     {0, 7},     {4, 8},
    {4, 9},    {5, 10},   {5, 20},   {5, 30},   {10, 40},   {10, 50},   {20, 100},
    {40, 150}, {60, 200}, {80, 250}, {100, 300}, {150, 400}, {200, 500},
};

constexpr Limits kReceive[] = {
    {128, 512}, {256, 1024}, {512, 2048}, {1024, 3072}, {2048, 4096}, {3072, 5120}, {4096, 6144},
};

template <int N>
bool Lookup(const Limits (&table)[N], int index, int* xonLim, int* xoffLim) {
  if (index < 0 || index >= N) return false;
  *xonLim = table[index].xon;
  *xoffLim = table[index].xoff;
  return true;
}

}  // namespace

bool SendBufferLimits(int buffIndex, int* xonLim, int* xoffLim) {
  return Lookup(kSend, buffIndex, xonLim, xoffLim);
}

bool ReceiveBufferLimits(int buffIndex, int* xonLim, int* xoffLim) {
  return Lookup(kReceive, buffIndex, xonLim, xoffLim);
}

}  // namespace quelvo
