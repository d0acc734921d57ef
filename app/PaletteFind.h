#pragma once

#include <QObject>
#include <QString>

#include <functional>

class CDDListBox;
class QLineEdit;
class QWidget;

// The palette's find field: while it holds a word, the list shows the items
// of every category that the words find (FindWords.h), in place of the
// selected category's entries, and the order arrows are off (found items
// have no order of their own to give). Escape in a non-empty field empties
// it and the category's entries come back.
class CPaletteFind : public QObject {
    Q_OBJECT

public:
    struct Steps {
        // Before the list leaves the category's entries: stores an order
        // the user is giving them; false when the user chose to stay.
        std::function<bool()> leaveCategory;
        // Shows the selected category's entries again.
        std::function<void()> showCategory;
    };
    CPaletteFind(QLineEdit& field, CDDListBox& list, QWidget& arrows, Steps steps);

    bool IsFinding() const { return m_finding; }
    // Empties the field; with `showCategory` false the caller shows what
    // the list shows next.
    void Clear(bool showCategory = true);
    // Reads the found items again (the library changed), keeping the
    // selected one by key and the scroll position.
    void Refresh();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnTextChanged(const QString& text);
    void ShowFound(int atLeast);
    void SetFinding(bool finding);

    QLineEdit& m_field;
    CDDListBox& m_list;
    QWidget& m_arrows;
    Steps m_steps;
    bool m_finding = false;
};
