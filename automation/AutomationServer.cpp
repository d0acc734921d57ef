#include "automation/AutomationServer.h"

#include "automation/AutomatedWindow.h"
#include "automation/AutomationNames.h"
#include "automation/LibraryScripting.h"
#include "automation/MumbletDlgAutoProxy.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>

namespace {

// Only what is marked for the bus: the factory and the library have
// methods only, the objects their five properties and Release.
constexpr QDBusConnection::RegisterOptions kMethods = QDBusConnection::ExportScriptableSlots;
constexpr QDBusConnection::RegisterOptions kObject =
    QDBusConnection::ExportScriptableSlots | QDBusConnection::ExportScriptableProperties;

} // namespace

CAutomationServer::CAutomationServer(QDBusConnection bus, QObject* parent)
    : QObject(parent), m_bus(std::move(bus)), m_library(std::make_unique<CLibraryScripting>()) {
    m_clients = new QDBusServiceWatcher(this);
    m_clients->setConnection(m_bus);
    m_clients->setWatchMode(QDBusServiceWatcher::WatchForUnregistration);
    connect(m_clients, &QDBusServiceWatcher::serviceUnregistered, this,
            &CAutomationServer::OnClientGone);
}

CAutomationServer::~CAutomationServer() {
    if (m_published) {
        m_bus.unregisterService(QString::fromLatin1(AutomationNames::kService));
        m_bus.unregisterObject(QString::fromLatin1(AutomationNames::kLibraryPath));
        m_bus.unregisterObject(QString::fromLatin1(AutomationNames::kFactoryPath));
    }
    for (const auto& [path, proxy] : m_objects) {
        m_bus.unregisterObject(path);
    }
    m_objects.clear();
}

CAutomationServer::PublishResult CAutomationServer::Publish(QString* error) {
    if (!m_bus.isConnected()) {
        *error = QStringLiteral("there is no session bus (%1)").arg(m_bus.lastError().message());
        return Failed;
    }
    const QString factory = QString::fromLatin1(AutomationNames::kFactoryPath);
    const QString library = QString::fromLatin1(AutomationNames::kLibraryPath);
    const QString service = QString::fromLatin1(AutomationNames::kService);
    if (!m_bus.registerObject(factory, this, kMethods) ||
        !m_bus.registerObject(library, m_library.get(), kMethods)) {
        *error = QStringLiteral("its objects could not be put on the bus");
        m_bus.unregisterObject(factory);
        return Failed;
    }
    if (!m_bus.registerService(service)) {
        const bool taken = m_bus.interface()->isServiceRegistered(service);
        *error = taken ? QStringLiteral("%1 is already served by another process").arg(service)
                       : QStringLiteral("the name %1 could not be taken (%2)")
                             .arg(service, m_bus.lastError().message());
        m_bus.unregisterObject(library);
        m_bus.unregisterObject(factory);
        return taken ? AlreadyServed : Failed;
    }
    m_published = true;
    return Published;
}

QDBusObjectPath CAutomationServer::CreateObject() {
    // A call from the bus gets the error; a direct call just no path.
    const auto refuse = [this](const QString& name, const QString& text) {
        if (calledFromDBus()) {
            sendErrorReply(name, text);
        }
        return QDBusObjectPath();
    };
    CAutomatedWindow* window = CAutomatedWindow::Main();
    if (window == nullptr) {
        return refuse(QString::fromLatin1(AutomationNames::kErrorNoPalette),
                      QStringLiteral("The palette is not there to bind an object to."));
    }
    const QString client = calledFromDBus() ? message().service() : QString();
    std::set<QString>& held = m_objectsOfClient[client];
    if (held.size() >= static_cast<std::size_t>(kObjectsPerClient)) {
        return refuse(QString::fromLatin1(AutomationNames::kErrorTooManyObjects),
                      QStringLiteral("This client holds %1 objects already, as many as one "
                                     "client may; release one before asking for another.")
                          .arg(kObjectsPerClient));
    }
    const QString path =
        QString::fromLatin1(AutomationNames::kObjectPathPrefix) + QString::number(++m_serial);
    auto proxy = std::make_unique<CMumbletDlgAutoProxy>(window, client);
    if (!m_bus.registerObject(path, proxy.get(), kObject)) {
        if (held.empty()) {
            m_objectsOfClient.erase(client);
        }
        return refuse(QDBusError::errorString(QDBusError::Failed),
                      QStringLiteral("The object could not be put on the bus."));
    }
    connect(
        proxy.get(), &CMumbletDlgAutoProxy::ReleaseRequested, this, [this, path] { Destroy(path); },
        Qt::QueuedConnection);
    m_objects.emplace(path, std::move(proxy));
    const bool firstOfClient = held.empty();
    held.insert(path);

    if (!client.isEmpty() && firstOfClient) {
        m_clients->addWatchedService(client);
        // A client that left before the watch began is never reported
        // gone: look once now, or its object would hold the palette forever.
        if (!m_bus.interface()->isServiceRegistered(client)) {
            QMetaObject::invokeMethod(
                this, [this, client] { OnClientGone(client); }, Qt::QueuedConnection);
        }
    }
    return QDBusObjectPath(path);
}

void CAutomationServer::OnClientGone(const QString& client) {
    const auto found = m_objectsOfClient.find(client);
    if (found == m_objectsOfClient.end()) {
        return; // it released all it held before it left
    }
    // Taken out first: Destroy leaves this client's entry alone then.
    const std::set<QString> gone = std::move(found->second);
    m_objectsOfClient.erase(found);
    m_clients->removeWatchedService(client);
    for (const QString& path : gone) {
        Destroy(path);
    }
}

void CAutomationServer::Destroy(const QString& path) {
    const auto found = m_objects.find(path);
    if (found == m_objects.end()) {
        return; // released and gone with its client at the same moment
    }
    const QString client = found->second->Owner();
    const auto held = m_objectsOfClient.find(client);
    if (held != m_objectsOfClient.end()) {
        held->second.erase(path);
        if (held->second.empty()) {
            m_objectsOfClient.erase(held);
            if (!client.isEmpty()) {
                m_clients->removeWatchedService(client);
            }
        }
    }
    m_bus.unregisterObject(path);
    // Unbinding (in the object's destructor) may end the program's wait
    // for its last client; it runs after the reply to Release is sent.
    m_objects.erase(found);
}
