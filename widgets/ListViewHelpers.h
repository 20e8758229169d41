#pragma once

#include <QColor>

class QAbstractItemView;

// AutoSizeColumns: fits each column of a report list (a tree or table view) to
// the wider of its header and its contents. Other views are left as they are.
void AutoSizeColumns(QAbstractItemView *view);

// The colours of the striped background behind a report list's rows.
inline const QColor kStripeGreen(231, 248, 237);
inline const QColor kStripeWhite(255, 255, 255);

// PaintStripedListBackground: gives the list a background of bands rowHeight
// pixels high, alternating pale green and white, behind its rows and the empty
// space below them. The bands start at the top of the first row, so they stay
// aligned with rows of that height while the list scrolls; the first row lies
// on green. A row height of 0 or less makes the bands as high as a line of the
// list's font plus one pixel. Calling it again replaces the earlier background.
void PaintStripedListBackground(QAbstractItemView *view, int rowHeight);
