#include "dialogs/AboutDlg.h"

#include "dialogs/AppIcon.h"
#include "dialogs/BuildInfo.h"
#include "dialogs/DialogUnits.h"
#include "dialogs/PromptService.h"
#include "ui_AboutDlg.h"

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent), m_ui(std::make_unique<Ui::AboutDlg>()) {
    m_ui->setupUi(this);
    m_ui->iconLabel->setPixmap(BlurtleIcon().pixmap(QSize(32, 32)));
    m_ui->labelBlock->setText(tr("%1 Version %2\n"
                                 "A phrase palette for your desktop\n"
                                 "Copyright (C) Quillfen")
                                  .arg(kProgramCaption, QStringLiteral(BLURTLE_VERSION_STRING)));
    m_ui->labelMaker->setText(QStringLiteral(BLURTLE_MAKER_URL));
    MakeFixedFrame(this);
}

CAboutDlg::~CAboutDlg() = default;

QString CAboutDlg::BlockText() const {
    return m_ui->labelBlock->text();
}

QString CAboutDlg::MakerText() const {
    return m_ui->labelMaker->text();
}
