#include "common/ComponentRegistry.h"
#include "common/ProgIds.h"
#include "common/SharedServices.h"
#include "host/Bootstrap.h"
#include "platform/ZintelMsgBox.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include "support/Printers.h"

#include "support/Keyboard.h"

#include <gtest/gtest.h>

namespace {

// Shows the question; act (when given) answers it as the user would.
qint16 run(ZintelMsgBox &box, qint16 type, const std::function<void(QWidget *)> &act)
{
    box.setProperty("FormType", QVariant::fromValue<qint16>(type));
    box.setProperty("FormTitle", QStringLiteral("هشدار"));
    box.setProperty("FormMessage", QStringLiteral("آيا مطمئن هستيد؟"));
    if (act)
        whenShown(act);
    box.ClearShow();
    return box.Resualt();
}

} // namespace

TEST(MessageBoxComponent, ShowsTitleAndTextRightToLeftAndEnterAndEscapeAnswerAsAUserExpects)
{
    ZintelMsgBox box;
    QString shown;
    EXPECT_EQ(run(box, 1, [&](QWidget *w) {
                  shown = w->windowTitle() + u'|' + w->findChild<QLabel *>(QStringLiteral("message"))->text();
                  EXPECT_EQ(w->layoutDirection(), Qt::RightToLeft);
                  QTest::keyClick(w, Qt::Key_Return);
              }),
              1);
    EXPECT_EQ(shown, QStringLiteral("هشدار|آيا مطمئن هستيد؟"));
    EXPECT_EQ(run(box, 1, [](QWidget *w) { QTest::keyClick(w, Qt::Key_Escape); }), 0);
    EXPECT_EQ(run(box, 1, [](QWidget *w) { w->findChild<QPushButton *>(QStringLiteral("cmdNo"))->click(); }), 0);
    EXPECT_EQ(run(box, 0, [](QWidget *w) { QTest::keyClick(w, Qt::Key_Return); }), 1);
    // A message closed with Escape was not answered.
    EXPECT_EQ(run(box, 0, [](QWidget *w) { QTest::keyClick(w, Qt::Key_Escape); }), -1);
}

TEST(MessageBoxComponent, AskQuestionReachesTheRealBoxThroughTheRegistry)
{
    registerPlatform();
    whenShown([](QWidget *w) { w->findChild<QPushButton *>(QStringLiteral("cmdYes"))->click(); });
    EXPECT_EQ(AskQuestion(QStringLiteral("انصراف از ثبت"), QStringLiteral("آيا مطمئن هستيد؟")), 6);
    whenShown([](QWidget *w) { QTest::keyClick(w, Qt::Key_Escape); });
    EXPECT_EQ(AskQuestion(QStringLiteral("انصراف از ثبت"), QStringLiteral("آيا مطمئن هستيد؟")), 7);
    ComponentRegistry::unregisterComponent(progids::MessageBox);
}

// The test host renders screens without a display: a box there is handed
// over and never waits for a click that cannot come.
TEST(MessageBoxComponent, AnUnattendedBoxIsHandedOverAndLeftUnanswered)
{
    ZintelMsgBox box;
    QString seen;
    ZintelMsgBox::setUnattended([&](QWidget *, const QString &title, const QString &message) {
        seen = title + u'|' + message;
    });
    EXPECT_EQ(run(box, 1, {}), -1);
    ZintelMsgBox::setUnattended(nullptr);
    EXPECT_EQ(seen, QStringLiteral("هشدار|آيا مطمئن هستيد؟"));
}
