#pragma once

#include <QFont>
#include <QStyledItemDelegate>

class QListView;

// The item delegate of a list whose entries all have the same size (the
// view measures one entry and lays out tens of thousands without measuring
// the others). It makes that one size as wide as the widest entry, so the
// horizontal scroll bar reaches the end of every name.
//
// Laying out every entry's text to measure it takes several microseconds
// each (most of a second at 100,000 entries). So every text's width is
// estimated from its characters' advances, and only the texts estimated
// near the widest (at most kMeasuredAtMost) are measured exactly. The
// width is worked out again when the view next lays out after the entries
// changed; an entry added or removed that is not the widest costs one
// measurement.
class CWidestEntryDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    static constexpr int kMeasuredAtMost = 256;

    // Becomes `view`'s item delegate and follows the model it has now.
    explicit CWidestEntryDelegate(QListView& view);

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    void Invalidate() { m_stale = true; }
    // Rows just inserted, or about to be removed.
    void OnRowsChanging(const QModelIndex& parent, int first, int last);
    // Whether any of the rows is at least as wide as the widest known.
    bool ReachesTheWidest(const QModelIndex& parent, int first, int last) const;
    void Recompute(const QStyleOptionViewItem& option, const QAbstractItemModel& model) const;

    QListView& m_view;
    // Worked out lazily, in sizeHint(), where the view's style options are
    // at hand.
    mutable bool m_stale = true;
    mutable QFont m_font;
    mutable int m_widestAdvance = 0; // the widest entry's text
    mutable int m_widestHint = 0;    // the widest entry's whole size hint
};
