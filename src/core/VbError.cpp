#include "core/VbError.h"

VbError::VbError(int number, QString description, QString source)
    : m_number(number), m_description(std::move(description)), m_source(std::move(source)),
      m_what(QStringLiteral("%1: %2").arg(m_number).arg(m_description).toUtf8())
{
}

VbError VbError::overflow()
{
    return VbError(Overflow, QStringLiteral("Overflow"));
}

VbError VbError::typeMismatch()
{
    return VbError(TypeMismatch, QStringLiteral("Type mismatch"));
}

VbError VbError::invalidUseOfNull()
{
    return VbError(InvalidUseOfNull, QStringLiteral("Invalid use of Null"));
}

VbError VbError::database(const QString &driverText, const QString &source)
{
    return VbError(DatabaseError, driverText, source);
}
