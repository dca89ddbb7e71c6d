#pragma once

#include "platform/db/Query.h"

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace Ui {
class frmPass;
}

namespace tipdesk::app {

// The workstation's address as recorded with each login: the first IPv4 address of the host
// name in dotted decimal, or nothing when the name does not resolve to one.
using HostAddressLookup = std::function<std::optional<QString>()>;
std::optional<QString> localHostAddress();

// The program's name in the account table: the executable's file name, upper-cased.
QString programName();

// The operator login. It closes only on success; its cancel button ends the program.
class TfrmPass : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPass(QWidget *parent = nullptr);
    ~TfrmPass() override;

    // Replaces the host-name lookup (tests).
    void setHostAddressLookup(HostAddressLookup lookup) { m_lookup = std::move(lookup); }

    QString UserLevel;

    // Handlers; a database error raised while connecting, and any error that is not a database
    // error, pass to the caller.
    void btnOKClick();
    void btnCancelClick();

    db::Query *qryPass;
    db::Query *qryRecord;
    std::unique_ptr<Ui::frmPass> ui;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

public slots:
    // Escape and the window's close request do not end the login.
    void reject() override {}

private:
    void FormShow();
    bool edIDKeyPress(int key);
    bool edPassKeyPress(int key);
    bool ConnectDatabase();
    QString CheckUser();
    void WriteUserRecord(const QString &action);

    HostAddressLookup m_lookup;
};

// Set by the login's cancel button: start-up then ends without showing the main menu.
bool terminationRequested();
void requestTermination();
void clearTerminationRequest();

} // namespace tipdesk::app
