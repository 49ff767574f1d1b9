#include "sibling/SiblingComponent.h"

#include "common/SharedServices.h"
#include "platform/Registration.h"
#include "sibling/SiblingForm.h"

const QString SiblingComponent::RefusedText = QStringLiteral("شما به انجام اين عمليات مجاز نيستيد.");

SiblingComponent::SiblingComponent(qint32 right, QObject *parent) : QObject(parent), m_right(right) {}

SiblingComponent::~SiblingComponent() = default;

void SiblingComponent::ClearShow()
{
    enter([this](SiblingSession &session) { showEmpty(session); });
}

void SiblingComponent::View(qint32 ID)
{
    enter([this, ID](SiblingSession &session) { showRecord(session, ID); });
}

void SiblingComponent::enter(const std::function<void(SiblingSession &)> &show)
{
    SiblingForm::handle([&] {
        SiblingSession session({m_userId, m_positionId, m_employeeId, m_connectionString});
        if (!session.hasPermission(m_right)) {
            ShowMessage(QStringLiteral("خطا"), RefusedText);
            return;
        }
        show(session);
    });
}

void prepareSiblingModule()
{
    // Where the components are linked into the program itself (tests), the
    // program's own registrations stay.
    registerPlatformServices();
}
