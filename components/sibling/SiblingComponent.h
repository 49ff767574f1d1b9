#pragma once

#include "sibling/SiblingSession.h"

#include <QObject>
#include <functional>
#include <memory>

// The face a sibling component shows its caller: the four user-context
// properties and the two entry operations, reached by name. Each entry
// operation opens the component's own connection with the properties given,
// checks the right the component needs, shows its screen modally and
// returns when the screen closes. Nothing a screen raises leaves the
// component: failures are reported in Persian, and the caller goes on.
class SiblingComponent : public QObject
{
    Q_OBJECT
    Q_PROPERTY(qint32 UserID MEMBER m_userId)
    Q_PROPERTY(qint32 PositionID MEMBER m_positionId)
    Q_PROPERTY(qint32 EmployeeID MEMBER m_employeeId)
    Q_PROPERTY(QString OLEConnectionString MEMBER m_connectionString)

public:
    explicit SiblingComponent(qint32 right, QObject *parent = nullptr);
    ~SiblingComponent() override;

    Q_INVOKABLE void ClearShow();
    Q_INVOKABLE void View(qint32 ID);

    // The right a user needs to open the component.
    qint32 right() const { return m_right; }

    static const QString RefusedText;

protected:
    // Show the main screen empty, or on one record; both return when it closes.
    virtual void showEmpty(SiblingSession &session) = 0;
    virtual void showRecord(SiblingSession &session, qint32 id) = 0;

private:
    void enter(const std::function<void(SiblingSession &)> &show);

    qint32 m_right;
    qint32 m_userId = 0;
    qint32 m_positionId = 0;
    qint32 m_employeeId = 0;
    QString m_connectionString;
};

// Sets up the component module's own copy of the shared services: a
// component file links its own copy of the libraries, so its message box
// and the rest of the platform are registered there (registerPlatformServices).
// Safe to call more than once.
void prepareSiblingModule();
