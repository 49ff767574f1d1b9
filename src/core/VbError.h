#pragma once

#include <QString>
#include <exception>

// The one exception type of the component. It carries what a VB runtime
// error carries: a number, a description and the object that raised it.
// Database failures keep the driver's own text as their description.
class VbError : public std::exception
{
public:
    enum Number : int {
        Overflow = 6,
        TypeMismatch = 13,
        // An exception that is not ours (a plugin's, the platform's).
        InternalError = 51,
        InvalidUseOfNull = 94,
        NonModalNotAllowed = 406,
        CannotCreateObject = 429,
        ItemNotFound = 3265,
        ObjectClosed = 3704,
        ObjectOpen = 3705,
        ProviderNotFound = 3706,
        ConnectionUnusable = 3709,
        NoCurrentRecord = 3021,
        WrongParameterValue = 3421,
        // ADO's generic "errors occurred" code, used for every failure that
        // comes back from the database engine itself.
        DatabaseError = -2147217900,
    };

    VbError(int number, QString description, QString source = QString());

    int number() const noexcept { return m_number; }
    const QString &description() const noexcept { return m_description; }
    const QString &source() const noexcept { return m_source; }
    bool isDatabaseError() const noexcept { return m_number == DatabaseError; }

    const char *what() const noexcept override { return m_what.constData(); }

    // The runtime's own messages, so that every raise site says the same.
    static VbError overflow();
    static VbError typeMismatch();
    static VbError invalidUseOfNull();
    static VbError database(const QString &driverText, const QString &source = QString());

private:
    int m_number;
    QString m_description;
    QString m_source;
    QByteArray m_what;
};
