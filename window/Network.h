// The window's side of the network: calls that run on the SMB worker and
// answer on the window thread, and the dialog that asks for credentials.
// The window never waits for the network.
#pragma once

#include <QDialog>
#include <QMetaObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <utility>

#include "network/SmbClient.h"

class QLineEdit;

namespace quiddity {

// Runs job on the worker, then done with its result on receiver's thread;
// nothing is called when receiver is gone by then.
template <typename R>
void RunOnNetwork(CSmbClient& client, QObject* receiver, std::function<R(CSmbSession&)> job,
                  std::function<void(R)> done) {
    client.Post([receiver = QPointer<QObject>(receiver), job = std::move(job), done = std::move(done)](CSmbSession& session) {
        auto result = std::make_shared<R>(job(session));
        if (receiver.isNull()) return;
        QMetaObject::invokeMethod(receiver.data(), [done, result] { done(std::move(*result)); }, Qt::QueuedConnection);
    });
}

// User, password and domain for a server that refused the anonymous user.
// What is entered is kept in memory by the caller, never written.
class CCredentialsDialog : public QDialog {
    Q_OBJECT
public:
    CCredentialsDialog(const QString& server, QWidget* parent);
    SmbCredentials Credentials() const;
    QLineEdit* UserField() const { return m_pUser; }
    QLineEdit* PasswordField() const { return m_pPassword; }
    QLineEdit* DomainField() const { return m_pDomain; }

private:
    QLineEdit* m_pUser = nullptr;
    QLineEdit* m_pPassword = nullptr;
    QLineEdit* m_pDomain = nullptr;
};

}  // namespace quiddity
