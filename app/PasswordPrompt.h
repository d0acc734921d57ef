#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

struct PasswordRequest;

// While it lives, a library server that wants a password asks the user
// for it in a dialog (through the prompt service) owned by `owner`: one
// dialog at a time, and never for work under a CNoOneToAsk (bus calls,
// the live refresh), which fails with words that say a password is needed.
// Only the palette's run makes one: console commands never show a dialog,
// so for them libpq's failure stands.
class CPasswordPrompt {
public:
    explicit CPasswordPrompt(QWidget* owner);
    ~CPasswordPrompt();
    CPasswordPrompt(const CPasswordPrompt&) = delete;
    CPasswordPrompt& operator=(const CPasswordPrompt&) = delete;

    // What the dialog says for `request`.
    static QString TextFor(const PasswordRequest& request);

private:
    QPointer<QWidget> m_owner;
};
