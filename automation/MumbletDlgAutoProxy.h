#pragma once

#include <QDBusContext>
#include <QObject>
#include <QString>

#include <cstdint>

class CAutomatedWindow;

// One automation object, made for one client: the interface
// "Mumblet.Application" with five string properties that read as empty and
// take any value without keeping it, and Release, by which the client that
// asked for the object gives it back. While it exists it is bound to the
// palette, which then only hides when asked to close.
class CMumbletDlgAutoProxy : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "Mumblet.Application")
    Q_PROPERTY(QString Title READ Empty WRITE Ignore)
    Q_PROPERTY(QString First READ Empty WRITE Ignore)
    Q_PROPERTY(QString Middle READ Empty WRITE Ignore)
    Q_PROPERTY(QString Last READ Empty WRITE Ignore)
    Q_PROPERTY(QString Suffix READ Empty WRITE Ignore)
    // Hides QObject's own property from the bus: only the five are reached.
    Q_PROPERTY(QString objectName READ objectName WRITE setObjectName SCRIPTABLE false)

public:
    // Binds to `window` (which may be null) for the client with the unique
    // bus name `owner`.
    CMumbletDlgAutoProxy(CAutomatedWindow* window, const QString& owner, QObject* parent = nullptr);
    ~CMumbletDlgAutoProxy() override;

    const QString& Owner() const { return m_owner; }

    // Every one of the five properties.
    QString Empty() const { return {}; }
    void Ignore(const QString&) {}

    // The palette, or null once it is gone.
    CAutomatedWindow* m_pDialog = nullptr;

public slots:
    // Only the client that asked for the object may give it back.
    Q_SCRIPTABLE void Release();

signals:
    void ReleaseRequested(CMumbletDlgAutoProxy* proxy);

private:
    QString m_owner;
    // Its place among the objects bound to the window (see Bind).
    std::uint64_t m_bindOrder = 0;
};
