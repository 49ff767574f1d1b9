#pragma once

#include "core/Currency.h"

#include <QString>
#include <functional>

class QDialog;
class QTableWidget;
class QTableWidgetItem;

// What the sibling components' screens share.
namespace SiblingForm {

// The suite's look on a screen: right to left, the Persian font, the skin.
void prepare(QDialog *screen);
// Shows a screen modally and returns when it closes.
void showModal(QDialog *screen);

// The event boundary of a screen's handlers (runHandler): a refusal is
// shown as it is, any other error in Persian with its number; the screen
// stays open.
void handle(const std::function<void()> &handler);

// Table cells: read-only, amounts aligned to the left as figures are.
QTableWidgetItem *textCell(const QString &text);
QTableWidgetItem *moneyCell(Currency value);
void prepareTable(QTableWidget *table, const QStringList &headers);

} // namespace SiblingForm
