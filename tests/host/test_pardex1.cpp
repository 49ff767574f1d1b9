#include "core/VbError.h"
#include "host/Pardex1.h"
#include "host/PropertyBag.h"

#include "support/Errors.h"
#include "support/Printers.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

TEST(HostControl, StartsWithItsDefaultsAndNamesEveryChangedProperty)
{
    Pardex1 control;
    QSignalSpy changed(&control, &Pardex1::PropertyChanged);
    control.setProperty("UserID", 486);
    control.setPositionID(-3);
    control.setOLEConnectionString(QStringLiteral("Provider=SQLite;Data Source=x"));
    control.setEmployeeID(12);
    QStringList names;
    for (const QList<QVariant> &signal : changed)
        names << signal[0].toString();
    EXPECT_EQ(names, (QStringList{QStringLiteral("UserID"), QStringLiteral("PositionID"),
                                  QStringLiteral("OLEConnectionString"), QStringLiteral("EmployeeID")}));
    EXPECT_EQ(control.property("UserID").toInt(), 486);
    EXPECT_EQ(control.PositionID(), -3);

    control.InitProperties();
    EXPECT_EQ(control.UserID(), 0);
    EXPECT_EQ(control.OLEConnectionString(), QStringLiteral("0"));
}

TEST(HostControl, SixteenBitPropertiesOverflowAboveTheirRange)
{
    Pardex1 control;
    control.setUserID(32767);
    control.setUserID(-32768);
    EXPECT_EQ(control.UserID(), -32768);
    EXPECT_EQ(errorNumber([&] { control.setUserID(32768); }), VbError::Overflow);
    EXPECT_EQ(control.UserID(), -32768);
}

TEST(HostControl, ThePropertyBagKeepsOnlyWhatDiffersFromTheDefaults)
{
    Pardex1 control;
    PropertyBag bag;
    control.WriteProperties(bag);
    EXPECT_TRUE(bag.keys().isEmpty());

    control.setUserID(486);
    control.setOLEConnectionString(QStringLiteral("Provider=SQLite;Data Source=/db"));
    control.setEmployeeID(3);
    control.WriteProperties(bag);
    EXPECT_EQ(bag.keys(), (QStringList{QStringLiteral("UserID"), QStringLiteral("OLEConnectionString"),
                                       QStringLiteral("EmployeeID")}));

    // Writing a default removes the key.
    control.setEmployeeID(0);
    control.WriteProperties(bag);
    EXPECT_FALSE(bag.contains(QStringLiteral("EmployeeID")));

    Pardex1 restored;
    restored.setPositionID(9);
    restored.ReadProperties(bag);
    EXPECT_EQ(restored.UserID(), 486);
    EXPECT_EQ(restored.PositionID(), 0); // missing key: the default
    EXPECT_EQ(restored.OLEConnectionString(), QStringLiteral("Provider=SQLite;Data Source=/db"));

    PropertyBag empty;
    restored.ReadProperties(empty);
    EXPECT_EQ(restored.OLEConnectionString(), QStringLiteral("0"));
}
