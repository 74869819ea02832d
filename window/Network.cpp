#include "window/Network.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

namespace quiddity {

CCredentialsDialog::CCredentialsDialog(const QString& server, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Log on to %1").arg(server));
    auto* layout = new QFormLayout(this);
    layout->addRow(new QLabel(QStringLiteral("The server %1 asks who you are.").arg(server), this));
    m_pUser = new QLineEdit(this);
    m_pPassword = new QLineEdit(this);
    m_pPassword->setEchoMode(QLineEdit::Password);
    m_pDomain = new QLineEdit(this);
    layout->addRow(QStringLiteral("&User:"), m_pUser);
    layout->addRow(QStringLiteral("&Password:"), m_pPassword);
    layout->addRow(QStringLiteral("&Domain:"), m_pDomain);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addRow(buttons);
}

SmbCredentials CCredentialsDialog::Credentials() const {
    return {m_pUser->text().toStdString(), m_pPassword->text().toStdString(), m_pDomain->text().toStdString()};
}

}  // namespace quiddity
