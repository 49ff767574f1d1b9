#include "common/LateBound.h"

#include "core/VbError.h"

#include <QMetaMethod>
#include <QMetaProperty>
#include <vector>

namespace LateBound {

namespace {

[[noreturn]] void noSuchMember(const QObject *object, const char *name)
{
    throw VbError(NoSuchMember, QStringLiteral("Object doesn't support this property or method"),
                  QStringLiteral("%1.%2").arg(QString::fromLatin1(object->metaObject()->className()),
                                              QString::fromLatin1(name)));
}

QMetaProperty property(const QObject *object, const char *name)
{
    const QMetaObject *mo = object->metaObject();
    const int index = mo->indexOfProperty(name);
    if (index < 0)
        noSuchMember(object, name);
    return mo->property(index);
}

} // namespace

void set(QObject *object, const char *name, const QVariant &value)
{
    if (!object)
        throw VbError(91, QStringLiteral("Object variable or With block variable not set"));
    const QMetaProperty p = property(object, name);
    QVariant converted = value;
    if (converted.isValid() && p.metaType() != converted.metaType() && p.metaType().id() != QMetaType::QVariant
        && !converted.convert(p.metaType()))
        throw VbError::typeMismatch();
    if (!p.write(object, converted))
        noSuchMember(object, name);
}

QVariant get(const QObject *object, const char *name)
{
    if (!object)
        throw VbError(91, QStringLiteral("Object variable or With block variable not set"));
    return property(object, name).read(object);
}

QVariant call(QObject *object, const char *name, const QVariantList &args)
{
    if (!object)
        throw VbError(91, QStringLiteral("Object variable or With block variable not set"));
    const QMetaObject *mo = object->metaObject();
    QMetaMethod method;
    for (int i = 0; i < mo->methodCount(); ++i) {
        const QMetaMethod m = mo->method(i);
        if (m.name() == name && m.parameterCount() == args.size()
            && (m.methodType() == QMetaMethod::Method || m.methodType() == QMetaMethod::Slot)) {
            method = m;
            break;
        }
    }
    if (!method.isValid())
        noSuchMember(object, name);

    // Each argument converted to its parameter's type; QVariant parameters take it as it is.
    std::vector<QVariant> values(args.begin(), args.end());
    QGenericArgument generic[10];
    if (values.size() > 10)
        noSuchMember(object, name);
    for (int i = 0; i < int(values.size()); ++i) {
        const QMetaType type = method.parameterMetaType(i);
        if (type.id() == QMetaType::QVariant) {
            generic[i] = QGenericArgument("QVariant", &values[i]);
            continue;
        }
        if (values[i].metaType() != type && !values[i].convert(type))
            throw VbError::typeMismatch();
        generic[i] = QGenericArgument(type.name(), values[i].constData());
    }
    const QMetaType returnType = method.returnMetaType();
    QVariant result;
    bool ok;
    if (returnType.id() == QMetaType::Void) {
        ok = method.invoke(object, Qt::DirectConnection, generic[0], generic[1], generic[2], generic[3], generic[4],
                           generic[5], generic[6], generic[7], generic[8], generic[9]);
    } else {
        result = QVariant(returnType);
        ok = method.invoke(object, Qt::DirectConnection, QGenericReturnArgument(returnType.name(), result.data()),
                           generic[0], generic[1], generic[2], generic[3], generic[4], generic[5], generic[6],
                           generic[7], generic[8], generic[9]);
    }
    if (!ok)
        noSuchMember(object, name);
    return result;
}

} // namespace LateBound
