#pragma once

#include <QString>

#include <exception>

class CDDListBox;
class QComboBox;
class QWidget;

// The category whose entries the list shows, and the order the user gives
// those entries with the sort arrows until it is stored. Every road that
// empties or refills the list stores a pending order first: a refused
// order never traps the user, nor is it given up without a word.
class CPendingOrder {
public:
    // The setting that remembers the selected category's whole line.
    static inline const QString kCategorySetting = QStringLiteral("Category");

    CPendingOrder(QWidget& owner, QComboBox& selector, CDDListBox& list);

    bool IsChanged() const { return m_changed; }
    void MarkChanged() { m_changed = true; }
    // The entries the order was for are gone (their category was deleted).
    void Forget() { m_changed = false; }

    // The category line whose entries the list shows; empty when none.
    const QString& ShownLine() const { return m_shownLine; }
    bool IsShown(const QString& categoryKey) const;
    // The list now shows `line`'s entries (empty: none), nothing pending.
    void Shows(const QString& line);
    // The shown category has a new line (renamed here or elsewhere): it is
    // remembered under it, so a restart comes back to it.
    void ShownRenamed(const QString& line);

    // Before the list shows another category. When the library refuses the
    // order, asks whether to switch anyway (the order is then given up) or
    // to stay; false when the palette stays, the selector back on the
    // category the list shows.
    bool StoreBeforeSwitching();
    // On a road that ends the program: a failure is told once and never
    // stops the end.
    void StoreBeforeEnding();
    // On a road that only hides the palette: an order the library refuses
    // stays pending.
    void StoreBeforeHiding();
    // Before the list is refilled from the library; throws when the
    // library refuses, and the list then stays as the user arranged it.
    void StoreBeforeRefresh();

private:
    void SelectShownCategory();
    static QString NotStoredText(const std::exception& error);

    QWidget& m_owner;
    QComboBox& m_selector;
    CDDListBox& m_list;
    bool m_changed = false;
    QString m_shownLine;
};
