#include "common/ComponentRegistry.h"
#include "common/LateBound.h"
#include "core/VbError.h"

#include "support/Errors.h"

#include "support/Printers.h"

#include <gtest/gtest.h>

namespace {

class Sibling : public QObject
{
    Q_OBJECT
    Q_PROPERTY(qint32 UserID MEMBER userId)
    Q_PROPERTY(QString OLEConnectionString MEMBER connection)
public:
    qint32 userId = 0;
    QString connection;
    QVariant viewed;
    int cleared = 0;
    Q_INVOKABLE void ClearShow() { ++cleared; }
    Q_INVOKABLE void View(const QVariant &id) { viewed = id; }
    Q_INVOKABLE int Twice(int value) { return value * 2; }
};


} // namespace

TEST(LateBinding, ComponentsAreCreatedByIdentifierAndReachedByName)
{
    ComponentRegistry::registerComponent(QStringLiteral("Test.Sibling"), [] { return new Sibling; });
    auto object = ComponentRegistry::create(QStringLiteral("test.sibling"));
    auto *sibling = qobject_cast<Sibling *>(object.get());
    ASSERT_NE(sibling, nullptr);

    LateBound::set(object.get(), "UserID", QStringLiteral("486"));
    EXPECT_EQ(sibling->userId, 486);
    LateBound::set(object.get(), "OLEConnectionString", QStringLiteral("Provider=SQLite"));
    EXPECT_EQ(LateBound::get(object.get(), "OLEConnectionString").toString(), QStringLiteral("Provider=SQLite"));
    LateBound::call(object.get(), "ClearShow");
    LateBound::call(object.get(), "View", {57});
    EXPECT_EQ(sibling->cleared, 1);
    EXPECT_EQ(sibling->viewed.toInt(), 57);
    EXPECT_EQ(LateBound::call(object.get(), "Twice", {QStringLiteral("21")}).toInt(), 42);

    EXPECT_EQ(errorNumber([&] { LateBound::set(object.get(), "NoSuchProperty", 1); }), LateBound::NoSuchMember);
    EXPECT_EQ(errorNumber([&] { LateBound::call(object.get(), "NoSuchMethod"); }), LateBound::NoSuchMember);
    EXPECT_EQ(errorNumber([&] { LateBound::set(object.get(), "UserID", QStringLiteral("abc")); }), VbError::TypeMismatch);
    ComponentRegistry::unregisterComponent(QStringLiteral("Test.Sibling"));
    EXPECT_EQ(errorNumber([] { ComponentRegistry::create(QStringLiteral("Test.Sibling")); }), VbError::CannotCreateObject);
}

#include "test_late_binding.moc"
