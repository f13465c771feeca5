#include "toolkit/graphics/metafile_region.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "toolkit/graphics/metafile_budget.h"
#include "toolkit/graphics/metafile_numbers.h"

namespace {

// An edge as the rows see it: the rows whose centres it crosses, where it crosses the first, how far
// it moves for each row after, and which way it runs (1 down, -1 up).
struct TEdge {
  int FirstRow;
  int EndRow;
  double X;
  double Step;
  int Direction;
};

// The row of the first pixel whose centre lies at or past v, held to low..high.
int FirstCentreAtOrPast(double v, int low, int high) {
  return CeilWithin(v - 0.5, low, high, low);
}

std::vector<TEdge> RowEdges(const QList<QPolygonF>& polygons, const QRect& box, uint64_t& crossings) {
  std::vector<TEdge> edges;
  crossings = 0;
  const int top = box.top(), end = box.bottom() + 1;
  for (const QPolygonF& polygon : polygons) {
    for (qsizetype i = 0; i < polygon.size(); ++i) {
      const QPointF a = polygon[i];
      const QPointF b = polygon[(i + 1) % polygon.size()];
      if (!std::isfinite(a.x()) || !std::isfinite(a.y()) || !std::isfinite(b.x()) || !std::isfinite(b.y()) ||
          a.y() == b.y())
        continue;
      const QPointF& upper = a.y() < b.y() ? a : b;
      const QPointF& lower = a.y() < b.y() ? b : a;
      const int first = FirstCentreAtOrPast(upper.y(), top, end);
      const int last = FirstCentreAtOrPast(lower.y(), top, end);
      if (first >= last) continue;
      // Where the edge crosses the first row's centre line: a weighted mean of its ends, which lies
      // between their xs even when the edge is so flat that its slope does not fit a double. An edge
      // crossing more rows than one is at least a row high, so its step is no longer than the edge.
      const double t = (first + 0.5 - upper.y()) / (lower.y() - upper.y());
      const double step = last - first > 1 ? (lower.x() - upper.x()) / (lower.y() - upper.y()) : 0;
      edges.push_back({first, last, (1 - t) * upper.x() + t * lower.x(), step, a.y() < b.y() ? 1 : -1});
      crossings += static_cast<uint64_t>(last - first);
    }
  }
  return edges;
}

}  // namespace

QRegion PolygonsRegion(const QList<QPolygonF>& polygons, Qt::FillRule rule, const QRect& box,
                       TMetafileBudget& budget) {
  uint64_t crossings = 0;
  std::vector<TEdge> edges = RowEdges(polygons, box, crossings);
  budget.SpendClipWork(crossings);
  std::sort(edges.begin(), edges.end(),
            [](const TEdge& a, const TEdge& b) { return a.FirstRow < b.FirstRow; });

  const int left = box.left(), width = box.width();
  const auto inside = [rule](int winding) {
    return rule == Qt::OddEvenFill ? (winding & 1) != 0 : winding != 0;
  };
  std::vector<QRect> rects;
  std::vector<size_t> active;
  std::vector<std::pair<int, int>> marks;  // column where the count changes, and by how much
  std::vector<int> counts;                 // the same summed by column, for rows of many crossings
  std::vector<QRect> row, previous;        // the spans of this row and of the band above
  size_t next = 0;
  const auto closeBand = [&] {
    rects.insert(rects.end(), previous.begin(), previous.end());
    previous.clear();
  };
  for (int y = box.top(); y <= box.bottom() && (next < edges.size() || !active.empty()); ++y) {
    while (next < edges.size() && edges[next].FirstRow == y) active.push_back(next++);
    marks.clear();
    for (size_t i = 0; i < active.size();) {
      TEdge& edge = edges[active[i]];
      if (edge.EndRow <= y) {
        active[i] = active.back();
        active.pop_back();
        continue;
      }
      marks.emplace_back(FirstCentreAtOrPast(edge.X, left, left + width), edge.Direction);
      edge.X += edge.Step;
      ++i;
    }
    // The spans where the count says inside: from sorted marks when they are few, from a count by
    // column when there are more of them than columns to a row.
    row.clear();
    const auto addSpan = [&](int from, int to) {
      if (from < to) row.emplace_back(from, y, to - from, 1);
    };
    if (marks.size() * 16 < static_cast<size_t>(width)) {
      std::sort(marks.begin(), marks.end());
      int winding = 0, start = 0;
      for (size_t i = 0; i < marks.size();) {
        const int column = marks[i].first;
        const bool was = inside(winding);
        for (; i < marks.size() && marks[i].first == column; ++i) winding += marks[i].second;
        if (!was && inside(winding)) start = column;
        if (was && !inside(winding)) addSpan(start, column);
      }
    } else {
      counts.assign(static_cast<size_t>(width) + 1, 0);
      for (const auto& [column, direction] : marks) counts[static_cast<size_t>(column - left)] += direction;
      int winding = 0, start = 0;
      for (int x = 0; x <= width; ++x) {
        const bool was = inside(winding);
        winding += counts[static_cast<size_t>(x)];
        if (!was && inside(winding)) start = left + x;
        if (was && !inside(winding)) addSpan(start, left + x);
      }
    }
    // Rows with the same spans as the band above make it taller, as a region keeps them.
    const bool same =
        row.size() == previous.size() &&
        std::equal(row.begin(), row.end(), previous.begin(), [](const QRect& a, const QRect& b) {
          return a.left() == b.left() && a.right() == b.right();
        });
    if (same && !row.empty()) {
      for (QRect& span : previous) span.setBottom(y);
    } else {
      closeBand();
      previous = row;
    }
  }
  closeBand();
  QRegion region;
  region.setRects(rects.data(), static_cast<int>(rects.size()));
  return region;
}
