#pragma once

#include <QDialog>
#include <QString>

#include <memory>

namespace Ui {
class Hint;
}

// The item editor's modeless help window: one read-only text. Its close
// box, Escape and Enter only hide it; its owner shows the same window again.
class CHint : public QDialog {
    Q_OBJECT

public:
    explicit CHint(QWidget* parent = nullptr);
    ~CHint() override;

    void SetText(const QString& text);
    QString Text() const;

    // The hint the item editor shows.
    static QString ItemEditorText();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::unique_ptr<Ui::Hint> m_ui;
    QString m_strText;
};
