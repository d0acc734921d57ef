#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusObjectPath>
#include <QObject>
#include <QString>

#include <map>
#include <memory>
#include <set>

class CLibraryScripting;
class CMumbletDlgAutoProxy;
class QDBusServiceWatcher;

// The class factory of the automation objects, on the session bus under the
// name "Mumblet.Application". A client asks the root object for an object
// (CreateObject, which answers with the new object's path); each object
// lives until its client releases it or leaves the bus. Beside it, the
// library's scripting interface answers on its own path.
class CAutomationServer : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "Mumblet.ClassFactory")

public:
    explicit CAutomationServer(QDBusConnection bus = QDBusConnection::sessionBus(),
                               QObject* parent = nullptr);
    ~CAutomationServer() override;

    enum PublishResult { Published, AlreadyServed, Failed };
    // Puts the factory and the scripting interface on the bus and takes the
    // service name. Otherwise says why in `error`: another process owns the
    // name already, or there is no bus.
    PublishResult Publish(QString* error);
    // The objects that exist now.
    int ObjectCount() const { return static_cast<int>(m_objects.size()); }
    // How many objects one client may hold at once: enough for any script,
    // few enough that no client can swamp the program with them.
    static constexpr int kObjectsPerClient = 64;

public slots:
    // Makes an object bound to the palette for the calling client. Fails
    // with Mumblet.Error.NoPalette while there is no palette to bind to,
    // and with Mumblet.Error.TooManyObjects while the client holds
    // kObjectsPerClient objects already.
    Q_SCRIPTABLE QDBusObjectPath CreateObject();

private:
    void OnClientGone(const QString& client);
    void Destroy(const QString& path);

    QDBusConnection m_bus;
    bool m_published = false;
    std::unique_ptr<CLibraryScripting> m_library;
    QDBusServiceWatcher* m_clients = nullptr;
    // By path; each object is owned here.
    std::map<QString, std::unique_ptr<CMumbletDlgAutoProxy>> m_objects;
    // The paths of each client's objects; a client is watched while it
    // holds any.
    std::map<QString, std::set<QString>> m_objectsOfClient;
    quint64 m_serial = 0;
};
