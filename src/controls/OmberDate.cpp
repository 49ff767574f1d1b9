#include "controls/OmberDate.h"

#include "controls/VbKeys.h"

#include "core/PersianDate.h"

#include <QCalendar>
#include <QCalendarWidget>
#include <QTextCharFormat>
#include <QDateTime>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QLocale>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <QVBoxLayout>

OmberDate::OmberDate(QWidget *parent) : QWidget(parent), m_edit(new QLineEdit(this)), m_button(new QToolButton(this))
{
    VbKeys::markUserControl(this);
    setLayoutDirection(Qt::RightToLeft);
    m_edit->setObjectName(QStringLiteral("text"));
    // Dates read left to right even in a right-to-left form.
    m_edit->setLayoutDirection(Qt::LeftToRight);
    m_edit->setAlignment(Qt::AlignCenter);
    m_edit->setPlaceholderText(QStringLiteral("----/--/--"));
    m_edit->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("^\\d{0,4}(/\\d{0,2}(/\\d{0,2})?)?$")), m_edit));
    m_button->setObjectName(QStringLiteral("cmdCalendar"));
    m_button->setText(QStringLiteral("▾"));
    m_button->setFocusPolicy(Qt::NoFocus);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_edit, 1);
    layout->addWidget(m_button);
    setFocusProxy(m_edit);
    connect(m_button, &QToolButton::clicked, this, &OmberDate::openCalendar);
    connect(m_edit, &QLineEdit::editingFinished, this, &OmberDate::takeTypedText);
}

QVariant OmberDate::Value() const
{
    return m_date.isValid() ? QVariant(m_date) : QVariant();
}

void OmberDate::setValue(const QVariant &value)
{
    QDate d;
    if (value.typeId() == QMetaType::QDateTime)
        d = value.toDateTime().date();
    else if (value.isValid() && !value.isNull())
        d = value.toDate();
    show(d);
}

QString OmberDate::FarsiDate() const
{
    return PersianDate::fromDate(m_date);
}

void OmberDate::Clear()
{
    show(QDate());
}

void OmberDate::setLocked(bool locked)
{
    m_locked = locked;
    m_edit->setReadOnly(locked);
    m_button->setEnabled(!locked);
}

void OmberDate::show(const QDate &date)
{
    const bool changed = date != m_date;
    m_date = date;
    // The validator is for what is typed; a date written here is always
    // one, and checking it again costs a receipt's load its own moment.
    const QValidator *typing = m_edit->validator();
    m_edit->setValidator(nullptr);
    m_edit->setText(PersianDate::fromDate(date));
    m_edit->setValidator(typing);
    if (changed)
        Q_EMIT Change();
}

void OmberDate::takeTypedText()
{
    if (m_locked)
        return;
    const QString text = m_edit->text().trimmed();
    if (text.isEmpty()) {
        show(QDate());
        return;
    }
    const QDate d = PersianDate::toDate(text);
    show(d.isValid() ? d : m_date); // what is not a date goes back to the date held
}

void OmberDate::openCalendar()
{
    if (m_locked)
        return;
    auto *popup = new QWidget(this, Qt::Popup);
    popup->setAttribute(Qt::WA_DeleteOnClose);
    popup->setLayoutDirection(Qt::RightToLeft);
    auto *calendar = new QCalendarWidget(popup);
    calendar->setObjectName(QStringLiteral("calendar"));
    calendar->setCalendar(QCalendar(QCalendar::System::Jalali));
    calendar->setLocale(QLocale(QLocale::Persian, QLocale::Iran));
    // The Persian week: Saturday first, Friday the weekend, no ISO week numbers.
    calendar->setFirstDayOfWeek(Qt::Saturday);
    calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    QTextCharFormat workday;
    workday.setForeground(calendar->palette().color(QPalette::Text));
    QTextCharFormat weekend;
    weekend.setForeground(QColor(0xc0, 0x20, 0x20));
    for (int day = Qt::Monday; day <= Qt::Sunday; ++day)
        calendar->setWeekdayTextFormat(Qt::DayOfWeek(day), day == Qt::Friday ? weekend : workday);
    calendar->setSelectedDate(m_date.isValid() ? m_date : QDate::currentDate());
    auto *layout = new QVBoxLayout(popup);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(calendar);
    connect(calendar, &QCalendarWidget::clicked, popup, [this, popup](const QDate &d) {
        show(d);
        popup->close();
    });
    connect(calendar, &QCalendarWidget::activated, popup, [this, popup](const QDate &d) {
        show(d);
        popup->close();
    });
    popup->adjustSize();
    popup->move(mapToGlobal(QPoint(0, height())));
    popup->show();
    calendar->setFocus();
}
