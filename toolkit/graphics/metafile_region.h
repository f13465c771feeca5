#pragma once
// Inside the drawing layer: the pixels a clipping polygon covers, as a region. Qt's own polygon regions
// take time that grows with the square of the edges starting on a row, and misbehave on coordinates far
// off the picture; this one costs the rows each edge crosses, and that cost is spent from the budget
// before the rows are walked.

#include <QList>
#include <QPolygonF>
#include <QRect>
#include <QRegion>

class TMetafileBudget;

// The pixels of box whose centres lie inside the polygons (each closed by an edge back to its first
// point), inside as the fill rule counts the edges crossed.
QRegion PolygonsRegion(const QList<QPolygonF>& polygons, Qt::FillRule rule, const QRect& box,
                       TMetafileBudget& budget);
