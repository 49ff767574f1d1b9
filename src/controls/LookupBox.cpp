#include "controls/LookupBox.h"

#include "controls/VbKeys.h"
#include "core/Vb.h"
#include "core/VbError.h"
#include "data/Connection.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QDebug>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSet>
#include <QToolButton>

LookupBox::LookupBox(QWidget *parent) : QWidget(parent), m_combo(new QComboBox(this))
{
    VbKeys::markUserControl(this);
    setLayoutDirection(Qt::RightToLeft);
    m_combo->setObjectName(QStringLiteral("list"));
    m_combo->setEditable(true);
    m_combo->setInsertPolicy(QComboBox::NoInsert);
    m_combo->setMaxVisibleItems(15);
    m_combo->completer()->setCompletionMode(QCompleter::PopupCompletion);
    m_combo->completer()->setFilterMode(Qt::MatchContains);
    m_combo->completer()->setCaseSensitivity(Qt::CaseInsensitive);
    m_combo->lineEdit()->installEventFilter(this);
    m_combo->installEventFilter(this);
    setFocusProxy(m_combo);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_combo, 1);

    connect(m_combo, QOverload<int>::of(&QComboBox::activated), this, [this](int index) {
        if (index < 0 || index >= m_rows.size())
            return;
        m_selected = index;
        m_pendingId = 0;
        const qint32 id = m_rows[index].id;
        dropOffListedRows();
        showChosen();
        Q_EMIT chosen(id);
    });
    // The combo box itself would take the text its line edit holds when the
    // editing ends (the focus leaving is enough) for a choice, even text the
    // user never typed; only takeTypedText decides that here.
    disconnect(m_combo->lineEdit(), &QLineEdit::editingFinished, m_combo, nullptr);
    connect(m_combo->lineEdit(), &QLineEdit::editingFinished, this, [this] { takeTypedText(); });
}

LookupBox::~LookupBox()
{
    // The base class's destructor takes the focus from the list, which ends
    // its editing and filters its events: by then this box is gone, so the
    // list must no longer reach it.
    if (QLineEdit *edit = m_combo->lineEdit()) {
        edit->removeEventFilter(this);
        disconnect(edit, nullptr, this, nullptr);
    }
    m_combo->removeEventFilter(this);
    disconnect(m_combo, nullptr, this, nullptr);
}

void LookupBox::setConnectionString(const QString &text)
{
    if (m_connection.setConnectionString(text))
        invalidate();
}

Connection *LookupBox::connection()
{
    return m_connection.get();
}

void LookupBox::invalidate()
{
    const qint32 keep = chosenId();
    m_loaded = false;
    m_rows.clear();
    m_selected = -1;
    m_pendingId = 0;
    {
        const QSignalBlocker block(m_combo);
        m_combo->clear();
    }
    if (keep != 0)
        chooseId(keep);
}

QVector<LookupBox::Row> LookupBox::readRows(const QString &sql)
{
    QVector<Row> rows;
    Connection *c = connection();
    if (!c || sql.isEmpty())
        return rows;
    const RowSet set = c->execute(sql);
    const int idColumn = int(set.columns.indexOf(QRegularExpression(QStringLiteral("^ID$"), QRegularExpression::CaseInsensitiveOption)));
    const int titleColumn = int(set.columns.indexOf(QRegularExpression(QStringLiteral("^Title$"), QRegularExpression::CaseInsensitiveOption)));
    const int codeColumn = int(set.columns.indexOf(QRegularExpression(QStringLiteral("^Code$"), QRegularExpression::CaseInsensitiveOption)));
    for (const auto &r : set.rows) {
        Row row;
        row.id = Vb::clng(r.value(idColumn < 0 ? 0 : idColumn));
        row.title = Vb::textOf(r.value(titleColumn < 0 ? 1 : titleColumn));
        row.code = codeColumn < 0 ? QString() : Vb::textOf(r.value(codeColumn));
        rows.push_back(row);
    }
    return rows;
}

void LookupBox::ensureLoaded()
{
    if (m_loaded || !ready() || ConnectionString().isEmpty())
        return;
    try {
        m_rows = readRows(listQuery());
        m_loaded = true;
    } catch (const VbError &e) {
        // The list stays empty; the next use tries again.
        qWarning().noquote() << objectName() << "could not read its list:" << e.description();
        m_rows.clear();
    }
    fillCombo();
}

QString LookupBox::displayText(const Row &row) const
{
    return row.title;
}

void LookupBox::fillCombo()
{
    const QSignalBlocker block(m_combo);
    m_combo->clear();
    QSet<QString> seen, twice;
    for (const Row &r : m_rows) {
        const QString t = displayText(r);
        (seen.contains(t) ? twice : seen).insert(t);
    }
    for (const Row &r : m_rows) {
        QString t = displayText(r);
        if (twice.contains(t))
            t += QStringLiteral(" (%1)").arg(r.code.isEmpty() ? QString::number(r.id) : r.code);
        if (r.offListed)
            t += QStringLiteral(" (غيرفعال)");
        m_combo->addItem(t, r.id);
    }
    showChosen();
}

void LookupBox::showChosen()
{
    // A receipt's load empties every box and then fills it: the box shows
    // the last choice once, when control returns to the event loop, rather
    // than laying out each text on the way.
    if (m_showPending)
        return;
    m_showPending = true;
    QMetaObject::invokeMethod(this, [this] { showChosenNow(); }, Qt::QueuedConnection);
}

void LookupBox::showChosenNow()
{
    m_showPending = false;
    const QSignalBlocker block(m_combo);
    if (m_combo->currentIndex() != m_selected)
        m_combo->setCurrentIndex(m_selected);
    if (m_selected < 0 && !m_combo->currentText().isEmpty())
        m_combo->setEditText(QString());
}

int LookupBox::indexOfId(qint32 id) const
{
    for (int i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].id == id)
            return i;
    return -1;
}

void LookupBox::Clear()
{
    m_selected = -1;
    m_pendingId = 0;
    dropOffListedRows();
    showChosen();
}

void LookupBox::dropOffListedRows()
{
    // A row the list does not offer is shown while it is the choice only:
    // an inactive collector is not offered for the next receipt.
    const qint32 keep = m_selected >= 0 ? m_rows[m_selected].id : 0;
    bool dropped = false;
    for (int i = int(m_rows.size()) - 1; i >= 0; --i)
        if (m_rows[i].offListed && !(m_selected == i)) {
            m_rows.removeAt(i);
            dropped = true;
        }
    if (!dropped)
        return;
    m_selected = keep != 0 ? indexOfId(keep) : -1;
    fillCombo();
}

void LookupBox::setEditable(bool editable)
{
    m_editable = editable;
    m_combo->setEnabled(editable);
    for (QToolButton *b : findChildren<QToolButton *>(QString(), Qt::FindDirectChildrenOnly))
        b->setEnabled(editable);
}

qint32 LookupBox::chosenId() const
{
    return m_selected >= 0 ? m_rows[m_selected].id : m_pendingId;
}

QString LookupBox::chosenText() const
{
    return m_selected >= 0 ? m_combo->itemText(m_selected) : QString();
}

int LookupBox::rowCount()
{
    ensureLoaded();
    return int(m_rows.size());
}

void LookupBox::chooseId(qint32 id)
{
    m_pendingId = 0;
    if (!ready() || ConnectionString().isEmpty()) {
        m_selected = -1;
        m_pendingId = id;
        showChosen();
        return;
    }
    ensureLoaded();
    m_selected = -1;
    dropOffListedRows();
    int index = id == 0 ? -1 : indexOfId(id);
    if (index < 0 && id != 0) {
        Row row{id, QStringLiteral("%1 (نامعلوم)").arg(id), QString(), false};
        try {
            const QVector<Row> found = readRows(rowQuery(id));
            if (!found.isEmpty()) {
                row = found.first();
                row.offListed = true;
            }
        } catch (const VbError &e) {
            qWarning().noquote() << objectName() << "could not look up" << id << ':' << e.description();
        }
        m_rows.push_back(row);
        fillCombo();
        index = int(m_rows.size()) - 1;
    }
    m_selected = index;
    showChosen();
}

void LookupBox::takeTypedText()
{
    // Only what the user typed is a choice. The box may still show an
    // earlier choice for a moment (it shows the current one once control
    // returns to the event loop), and the editing ends whenever the focus
    // leaves: that text must never be taken for a choice.
    QLineEdit *edit = m_combo->lineEdit();
    if (!edit->isModified()) {
        showChosen();
        return;
    }
    edit->setModified(false);
    const QString typed = m_combo->currentText().trimmed();
    if (typed.isEmpty()) {
        if (m_selected >= 0) {
            m_selected = -1;
            m_pendingId = 0;
            showChosen();
            Q_EMIT cleared();
        }
        return;
    }
    const int index = m_combo->findText(typed, Qt::MatchFixedString);
    if (index >= 0 && index != m_selected) {
        m_selected = index;
        m_pendingId = 0;
        const qint32 id = m_rows[index].id;
        dropOffListedRows();
        showChosen();
        Q_EMIT chosen(id);
        return;
    }
    showChosen(); // typed text that names no row goes back to the choice
}

QToolButton *LookupBox::addSideButton(const QString &text)
{
    auto *button = new QToolButton(this);
    button->setText(text);
    button->setFocusPolicy(Qt::NoFocus);
    static_cast<QHBoxLayout *>(layout())->addWidget(button);
    return button;
}

bool LookupBox::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::MouseButtonPress)
        ensureLoaded();
    const bool listOpen = m_combo->view()->isVisible() || QApplication::activePopupWidget();
    // The wheel over the box scrolls nothing and chooses nothing: a value
    // changes only when the user picks it.
    if (event->type() == QEvent::Wheel && watched == m_combo && !listOpen) {
        event->ignore();
        return true;
    }
    // The combo box holds the focus and hands typed keys to its line edit by
    // a direct call, past any filter there; whichever of the two has the
    // focus raises the key event, once.
    if (event->type() == QEvent::KeyPress && (watched == m_combo || watched == m_combo->lineEdit())
        && watched == QApplication::focusWidget()) {
        ensureLoaded();
        const auto *key = static_cast<QKeyEvent *>(event);
        Q_EMIT KeyDown(VbKeys::keyCode(key), VbKeys::shiftState(key));
        if (listOpen || (key->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier)))
            return QWidget::eventFilter(watched, event);
        switch (key->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            // Stepping through the rows would choose each one on the way:
            // the arrows open the list instead, where Enter or a click chooses.
            if (m_editable)
                m_combo->showPopup();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // Enter takes what was typed and goes on to the next field, as
            // in the suite's other forms.
            takeTypedText();
            focusNextChild();
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}
