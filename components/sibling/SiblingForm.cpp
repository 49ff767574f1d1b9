#include "sibling/SiblingForm.h"

#include "common/SharedServices.h"
#include "common/VbRuntime.h"
#include "controls/OmberBody.h"
#include "platform/FormShower.h"
#include "platform/Look.h"
#include "sibling/SiblingSession.h"

#include <QDialog>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>

namespace SiblingForm {

void prepare(QDialog *screen)
{
    Look::applyFormLook(screen);
    OmberBody skin;
    skin.ApplySkin(screen);
    // The suite's buttons are all of one size, as on the receipt form.
    for (QPushButton *button : screen->findChildren<QPushButton *>())
        button->setMinimumSize(95, 26);
}

void showModal(QDialog *screen)
{
    FormShower::showModal(screen);
}

void handle(const std::function<void()> &handler)
{
    runHandler([&] {
        try {
            handler();
        } catch (const VbError &e) {
            if (e.number() != RefusalNumber)
                throw;
            ShowMessage(QStringLiteral("خطا"), e.description());
        }
    });
}

QTableWidgetItem *textCell(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

QTableWidgetItem *moneyCell(Currency value)
{
    auto *item = textCell(moneyDisplay(value));
    item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return item;
}

void prepareTable(QTableWidget *table, const QStringList &headers)
{
    table->setColumnCount(int(headers.size()));
    table->setHorizontalHeaderLabels(headers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setAlternatingRowColors(true);
    table->verticalHeader()->setVisible(false);
    table->horizontalHeader()->setHighlightSections(false);
    // Under the skin's style sheet the header would keep every column at
    // least as wide as a default section.
    table->horizontalHeader()->setMinimumSectionSize(36);
}

} // namespace SiblingForm
