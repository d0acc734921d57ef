#include "dragdrop/WidestEntryDelegate.h"

#include <QAbstractItemModel>
#include <QFontMetrics>
#include <QListView>

#include <algorithm>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

// Changes to more entries than this at once are not followed one by one:
// the width is worked out again instead.
constexpr int kFollowedOneByOne = 16;

// How far below the widest estimate a text may be estimated and still be
// measured: shaping and kerning move a text's width by a little.
constexpr int kEstimateSlackPercent = 5;

QString TextOf(const QAbstractItemModel& model, int row, const QModelIndex& parent = {}) {
    return model.index(row, 0, parent).data(Qt::DisplayRole).toString();
}

// The advance of each character met so far.
class CharacterAdvances {
public:
    explicit CharacterAdvances(const QFontMetrics& metrics)
        : m_metrics(metrics), m_basic(0x10000, -1) {}

    int Estimate(QStringView text) {
        int width = 0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text.at(i);
            if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
                width += Astral(text.mid(i, 2));
                ++i;
            } else {
                int& advance = m_basic[c.unicode()];
                if (advance < 0) {
                    advance = m_metrics.horizontalAdvance(c);
                }
                width += advance;
            }
        }
        return width;
    }

private:
    int Astral(QStringView pair) {
        const char32_t code = QChar::surrogateToUcs4(pair.at(0), pair.at(1));
        const auto [known, added] = m_astral.try_emplace(code, 0);
        if (added) {
            known->second = m_metrics.horizontalAdvance(pair.toString());
        }
        return known->second;
    }

    const QFontMetrics& m_metrics;
    std::vector<int> m_basic;
    std::unordered_map<char32_t, int> m_astral;
};

} // namespace

CWidestEntryDelegate::CWidestEntryDelegate(QListView& view)
    : QStyledItemDelegate(&view), m_view(view) {
    view.setItemDelegate(this);
    const QAbstractItemModel* model = view.model();
    if (model == nullptr) {
        return;
    }
    connect(model, &QAbstractItemModel::rowsInserted, this, &CWidestEntryDelegate::OnRowsChanging);
    connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            &CWidestEntryDelegate::OnRowsChanging);
    connect(model, &QAbstractItemModel::modelReset, this, &CWidestEntryDelegate::Invalidate);
    connect(model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex&, const QModelIndex&, const QList<int>& roles) {
                if (roles.isEmpty() || roles.contains(Qt::DisplayRole) ||
                    roles.contains(Qt::FontRole)) {
                    Invalidate();
                }
            });
}

QSize CWidestEntryDelegate::sizeHint(const QStyleOptionViewItem& option,
                                     const QModelIndex& index) const {
    QSize hint = QStyledItemDelegate::sizeHint(option, index);
    if (index.model() == nullptr) {
        return hint;
    }
    if (m_stale || option.font != m_font) {
        Recompute(option, *index.model());
    }
    hint.setWidth(std::max(hint.width(), m_widestHint));
    return hint;
}

void CWidestEntryDelegate::OnRowsChanging(const QModelIndex& parent, int first, int last) {
    // The view lays out again after any insertion or removal, and asks for
    // the size then: only a new or a removed widest entry needs the width
    // worked out again.
    if (!m_stale && (last - first >= kFollowedOneByOne || ReachesTheWidest(parent, first, last))) {
        Invalidate();
    }
}

bool CWidestEntryDelegate::ReachesTheWidest(const QModelIndex& parent, int first, int last) const {
    const QAbstractItemModel* model = m_view.model();
    const QFontMetrics metrics(m_font);
    for (int row = first; row <= last; ++row) {
        if (metrics.horizontalAdvance(TextOf(*model, row, parent)) >= m_widestAdvance) {
            return true;
        }
    }
    return false;
}

void CWidestEntryDelegate::Recompute(const QStyleOptionViewItem& option,
                                     const QAbstractItemModel& model) const {
    m_stale = false;
    m_font = option.font;
    m_widestAdvance = 0;
    m_widestHint = 0;
    const int rows = model.rowCount();
    if (rows <= 0) {
        return;
    }
    const QFontMetrics metrics(m_font);

    // Every text's width estimated as the sum of its characters' advances
    // (kerning and shaping aside), from a table filled as characters turn
    // up: a table look-up per character instead of laying out each text.
    CharacterAdvances advances(metrics);
    std::vector<std::pair<int, int>> estimates; // estimated width, row
    estimates.reserve(static_cast<std::size_t>(rows));
    for (int row = 0; row < rows; ++row) {
        estimates.emplace_back(advances.Estimate(TextOf(model, row)), row);
    }

    // Only the texts whose estimate comes near the widest are measured
    // exactly, widest estimate first.
    const auto widerFirst = [](const auto& a, const auto& b) { return a.first > b.first; };
    const auto candidates = std::min(estimates.size(), static_cast<std::size_t>(kMeasuredAtMost));
    const auto candidatesEnd = estimates.begin() + static_cast<std::ptrdiff_t>(candidates);
    std::partial_sort(estimates.begin(), candidatesEnd, estimates.end(), widerFirst);
    const int slack = kEstimateSlackPercent * estimates.front().first / 100 + metrics.maxWidth();
    const int threshold = estimates.front().first - slack;

    int widestRow = estimates.front().second;
    for (auto it = estimates.begin(); it != candidatesEnd && it->first >= threshold; ++it) {
        const int advance = metrics.horizontalAdvance(TextOf(model, it->second));
        if (advance > m_widestAdvance) {
            m_widestAdvance = advance;
            widestRow = it->second;
        }
    }
    m_widestHint = QStyledItemDelegate::sizeHint(option, model.index(widestRow, 0)).width();
}
