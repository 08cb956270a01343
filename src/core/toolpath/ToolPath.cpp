#include "core/toolpath/ToolPath.h"

#include <algorithm>

namespace quelvo {

const ArcCentre* ToolPath::ArcOf(size_t i) const {
  auto it = std::lower_bound(arcs.begin(), arcs.end(), i,
                             [](const ArcCentre& a, size_t move) { return a.move < move; });
  return it != arcs.end() && it->move == i ? &*it : nullptr;
}

long ToolPath::FirstMoveOfLine(int32_t wanted) const {
  // Line numbers rise with the move index.
  auto it = std::lower_bound(line.begin(), line.end(), wanted);
  return it != line.end() && *it == wanted ? static_cast<long>(it - line.begin()) : -1;
}

size_t ToolPath::MemoryBytes() const {
  return (x.capacity() + y.capacity() + z.capacity()) * sizeof(float) + feeds.capacity() * sizeof(FeedChange) +
         line.capacity() * sizeof(int32_t) +
         kind.capacity() * sizeof(MoveKind) + arcs.capacity() * sizeof(ArcCentre);
}

}  // namespace quelvo
