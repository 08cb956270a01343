// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/compare/LineDiff.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace quelvo {

namespace {

struct Box {
  long off1, lim1, off2, lim2;
};

// Myers' search on the sequences a and b (already reduced to elements that
// occur on both sides), marking the unmatched ones.
class Myers {
 public:
  Myers(const std::vector<std::uint64_t>& a, const std::vector<std::uint64_t>& b, long costLimit)
      : a_(a), b_(b), costLimit_(costLimit),
        forward_(a.size() + b.size() + 3), backward_(a.size() + b.size() + 3),
        offset_(static_cast<long>(b.size()) + 1), removed_(a.size()), added_(b.size()) {}

  void Run() {
    std::vector<Box> stack{{0, static_cast<long>(a_.size()), 0, static_cast<long>(b_.size())}};
    while (!stack.empty()) {
      Box box = stack.back();
      stack.pop_back();
      while (box.off1 < box.lim1 && box.off2 < box.lim2 && a_[box.off1] == b_[box.off2]) ++box.off1, ++box.off2;
      while (box.off1 < box.lim1 && box.off2 < box.lim2 && a_[box.lim1 - 1] == b_[box.lim2 - 1])
        --box.lim1, --box.lim2;
      if (box.off1 == box.lim1) {
        for (long y = box.off2; y < box.lim2; ++y) added_[y] = 1;
      } else if (box.off2 == box.lim2) {
        for (long x = box.off1; x < box.lim1; ++x) removed_[x] = 1;
      } else {
        long x, y;
        Split(box, x, y);
        stack.push_back({x, box.lim1, y, box.lim2});
        stack.push_back({box.off1, x, box.off2, y});
      }
    }
  }

  std::vector<std::uint8_t>& removed() { return removed_; }
  std::vector<std::uint8_t>& added() { return added_; }

 private:
  long& F(long d) { return forward_[d + offset_]; }
  long& B(long d) { return backward_[d + offset_]; }

  // A point (x, y) on a shortest edit path through the box, strictly inside it.
  // Diagonal d holds the points with x - y = d; F(d) is the furthest x the
  // forward search reached on it, B(d) the smallest x the backward search did.
  void Split(const Box& box, long& sx, long& sy) {
    const long dmin = box.off1 - box.lim2, dmax = box.lim1 - box.off2;
    const long fmid = box.off1 - box.off2, bmid = box.lim1 - box.lim2;
    const bool odd = ((fmid - bmid) & 1) != 0;
    long fmin = fmid, fmax = fmid, bmin = bmid, bmax = bmid;
    F(fmid) = box.off1;
    B(bmid) = box.lim1;
    for (long cost = 1;; ++cost) {
      if (fmin > dmin) F(--fmin - 1) = -1; else ++fmin;
      if (fmax < dmax) F(++fmax + 1) = -1; else --fmax;
      for (long d = fmax; d >= fmin; d -= 2) {
        long x = F(d - 1) >= F(d + 1) ? F(d - 1) + 1 : F(d + 1);
        long y = x - d;
        while (x < box.lim1 && y < box.lim2 && a_[x] == b_[y]) ++x, ++y;
        F(d) = x;
        if (odd && bmin <= d && d <= bmax && B(d) <= x) {
          sx = x, sy = y;
          return;
        }
      }
      if (bmin > dmin) B(--bmin - 1) = LONG_MAX; else ++bmin;
      if (bmax < dmax) B(++bmax + 1) = LONG_MAX; else --bmax;
      for (long d = bmax; d >= bmin; d -= 2) {
        long x = B(d - 1) < B(d + 1) ? B(d - 1) : B(d + 1) - 1;
        long y = x - d;
        while (x > box.off1 && y > box.off2 && a_[x - 1] == b_[y - 1]) --x, --y;
        B(d) = x;
        if (!odd && fmin <= d && d <= fmax && x <= F(d)) {
          sx = x, sy = y;
          return;
        }
      }
      if (cost < costLimit_) continue;
      // Too costly: split where one of the searches got furthest.
      long fbest = -1, fx = 0;
      for (long d = fmax; d >= fmin; d -= 2) {
        long x = std::min(F(d), box.lim1), y = x - d;
        if (y > box.lim2) x = box.lim2 + d, y = box.lim2;
        if (x + y > fbest) fbest = x + y, fx = x;
      }
      long bbest = LONG_MAX, bx = 0;
      for (long d = bmax; d >= bmin; d -= 2) {
        long x = std::max(box.off1, B(d)), y = x - d;
        if (y < box.off2) x = box.off2 + d, y = box.off2;
        if (x + y < bbest) bbest = x + y, bx = x;
      }
      if ((box.lim1 + box.lim2) - bbest < fbest - (box.off1 + box.off2)) {
        sx = fx, sy = fbest - fx;
      } else {
        sx = bx, sy = bbest - bx;
      }
      return;
    }
  }

  const std::vector<std::uint64_t>& a_;
  const std::vector<std::uint64_t>& b_;
  long costLimit_;
  std::vector<long> forward_, backward_;
  long offset_;
  std::vector<std::uint8_t> removed_, added_;
};

// A set of hashes with open addressing: millions of lines go in at once, which
// a node-based set would spend most of the compare's time allocating.
class HashSet {
 public:
  explicit HashSet(std::size_t count) {
    std::size_t capacity = 16;
    while (capacity < count * 2) capacity *= 2;
    slots_.assign(capacity, 0);
    mask_ = capacity - 1;
  }
  void Insert(std::uint64_t h) {
    h = h ? h : 1;  // 0 marks an empty slot
    for (std::size_t i = h & mask_;; i = (i + 1) & mask_) {
      if (slots_[i] == h) return;
      if (slots_[i] == 0) {
        slots_[i] = h;
        return;
      }
    }
  }
  bool Contains(std::uint64_t h) const {
    h = h ? h : 1;
    for (std::size_t i = h & mask_;; i = (i + 1) & mask_) {
      if (slots_[i] == h) return true;
      if (slots_[i] == 0) return false;
    }
  }

 private:
  std::vector<std::uint64_t> slots_;
  std::size_t mask_ = 0;
};

// Elements of `from` within [begin, end) that also occur in `other`'s range.
std::vector<std::size_t> Matchable(const std::vector<std::uint64_t>& from, std::size_t begin, std::size_t end,
                                   const std::vector<std::uint64_t>& other, std::size_t otherBegin,
                                   std::size_t otherEnd) {
  HashSet present(otherEnd - otherBegin);
  for (std::size_t i = otherBegin; i < otherEnd; ++i) present.Insert(other[i]);
  std::vector<std::size_t> kept;
  kept.reserve(end - begin);
  for (std::size_t i = begin; i < end; ++i)
    if (present.Contains(from[i])) kept.push_back(i);
  return kept;
}

}  // namespace

LineDiffMarks DiffHashes(const std::vector<std::uint64_t>& a, const std::vector<std::uint64_t>& b, long costLimit) {
  LineDiffMarks marks;
  marks.removed.assign(a.size(), 0);
  marks.added.assign(b.size(), 0);
  // The common head and tail: a few changes in a long program leave little between.
  std::size_t head = 0;
  while (head < a.size() && head < b.size() && a[head] == b[head]) ++head;
  std::size_t endA = a.size(), endB = b.size();
  while (endA > head && endB > head && a[endA - 1] == b[endB - 1]) --endA, --endB;
  if (head == endA || head == endB) {
    std::fill(marks.removed.begin() + static_cast<long>(head), marks.removed.begin() + static_cast<long>(endA), 1);
    std::fill(marks.added.begin() + static_cast<long>(head), marks.added.begin() + static_cast<long>(endB), 1);
    return marks;
  }
  const std::vector<std::size_t> keptA = Matchable(a, head, endA, b, head, endB);
  const std::vector<std::size_t> keptB = Matchable(b, head, endB, a, head, endA);
  std::fill(marks.removed.begin() + static_cast<long>(head), marks.removed.begin() + static_cast<long>(endA), 1);
  std::fill(marks.added.begin() + static_cast<long>(head), marks.added.begin() + static_cast<long>(endB), 1);
  std::vector<std::uint64_t> reducedA(keptA.size()), reducedB(keptB.size());
  for (std::size_t i = 0; i < keptA.size(); ++i) reducedA[i] = a[keptA[i]];
  for (std::size_t i = 0; i < keptB.size(); ++i) reducedB[i] = b[keptB[i]];
  if (costLimit <= 0) {
    const double size = static_cast<double>(reducedA.size() + reducedB.size());
    costLimit = std::max(2048L, static_cast<long>(std::sqrt(size)));
  }
  Myers myers(reducedA, reducedB, costLimit);
  myers.Run();
  for (std::size_t i = 0; i < keptA.size(); ++i) marks.removed[keptA[i]] = myers.removed()[i];
  for (std::size_t i = 0; i < keptB.size(); ++i) marks.added[keptB[i]] = myers.added()[i];
  return marks;
}

}  // namespace quelvo
