#pragma once

#include <QObject>
#include <QVariant>
#include <QVariantList>

// Members of another component reached by name through Qt's meta-object
// system, as a late-bound caller reaches them: properties declared with
// Q_PROPERTY and methods declared Q_INVOKABLE. A missing member raises
// error 438; a value that does not convert raises error 13.
namespace LateBound {

void set(QObject *object, const char *property, const QVariant &value);
QVariant get(const QObject *object, const char *property);
// Arguments are converted to the method's parameter types; the result is
// the method's return value (invalid for void).
QVariant call(QObject *object, const char *method, const QVariantList &args = {});

constexpr int NoSuchMember = 438;

} // namespace LateBound
