#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class AboutDlg;
}

// The about box of the palette's window menu: the icon, the program's name
// and version, and the maker's web address.
class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);
    ~CAboutDlg() override;

    // The three lines beside the icon, and the maker's address line.
    QString BlockText() const;
    QString MakerText() const;

private:
    std::unique_ptr<Ui::AboutDlg> m_ui;
};
