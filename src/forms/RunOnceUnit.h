#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QLocalServer;
class QWidget;

// One copy of the program per user session. The first copy listens on a local socket named
// after the program's block name and the user; a second copy asks it to come forward and quits.
class TRunOnce : public QObject
{
    Q_OBJECT
public:
    explicit TRunOnce(const QString &key = DefaultKey(), QObject *parent = nullptr);
    ~TRunOnce() override;

    static QString DefaultKey();

    // True when another copy already runs: it has just been asked to restore and raise its
    // window, and this copy must quit. False when this copy may run (it now listens, or the
    // guard is not available, in which case it runs unprotected).
    bool RunOnceCheck();
    bool IsOwner() const { return m_server != nullptr; }

    // What the first copy does when a second one starts; by default RaiseApplicationWindow.
    std::function<void()> OnActivate;

Q_SIGNALS:
    void activated();

private:
    void acceptConnection();
    bool askOwner();

    QString m_key;
    QLocalServer *m_server = nullptr;
};

// Restores and raises the application's open modal dialog, or else `mainWindow`.
// Returns the window that was brought forward.
QWidget *RaiseApplicationWindow(QWidget *mainWindow);
