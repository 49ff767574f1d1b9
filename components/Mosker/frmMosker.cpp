#include "Mosker/frmMosker.h"

#include "ui_frmMosker.h"

#include "common/SharedServices.h"
#include "sibling/SiblingForm.h"
#include "sibling/SiblingSession.h"
#include "suite/Identifiers.h"

#include <QHash>
#include <QHeaderView>

namespace {
enum Column { ColCode, ColTitle, ColKind, ColLevels };
constexpr int AccountRole = Qt::UserRole + 1;
} // namespace

frmMosker::frmMosker(SiblingSession &session, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmMosker>()), m_session(session), m_chart(session)
{
    ui->setupUi(this);
    SiblingForm::prepare(this);
    ui->treAccounts->setColumnCount(4);
    ui->treAccounts->setHeaderLabels({QStringLiteral("كد"), QStringLiteral("عنوان"), QStringLiteral("نوع"),
                                      QStringLiteral("سطوح تفصيلي")});
    QHeaderView *header = ui->treAccounts->header();
    header->setMinimumSectionSize(36);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(ColCode, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(ColTitle, QHeaderView::Stretch);
    header->setSectionResizeMode(ColKind, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(ColLevels, QHeaderView::ResizeToContents);
    ui->treAccounts->setAlternatingRowColors(true);

    connect(ui->treAccounts, &QTreeWidget::itemSelectionChanged, this,
            [this] { SiblingForm::handle([this] { treAccounts_Click(); }); });
    connect(ui->chkDetail, &QCheckBox::clicked, this, [this] { SiblingForm::handle([this] { chkDetail_Click(); }); });
    const std::pair<QPushButton *, void (frmMosker::*)()> buttons[] = {
        {ui->cmdNewChild, &frmMosker::cmdNewChild_Click}, {ui->cmdNewRoot, &frmMosker::cmdNewRoot_Click},
        {ui->cmdSave, &frmMosker::cmdSave_Click},         {ui->cmdCancel, &frmMosker::cmdCancel_Click},
        {ui->cmdDelete, &frmMosker::cmdDelete_Click},     {ui->cmdExit, &frmMosker::cmdExit_Click},
    };
    for (const auto &[button, handler] : buttons)
        connect(button, &QPushButton::clicked, this,
                [this, handler = handler] { SiblingForm::handle([this, handler] { (this->*handler)(); }); });
}

frmMosker::~frmMosker() = default;

void frmMosker::load()
{
    m_classes = m_chart.classes();
    fillTree();
    showAccount(nullptr);
}

const AccountNode *frmMosker::account(qint32 id) const
{
    for (const AccountNode &a : m_accounts)
        if (a.id == id)
            return &a;
    return nullptr;
}

void frmMosker::fillTree()
{
    m_accounts = m_chart.accounts();
    QHash<qint32, QString> classTitles;
    for (const ObjectClass &c : std::as_const(m_classes))
        classTitles.insert(c.id, c.title);

    const QSignalBlocker block(ui->treAccounts);
    ui->treAccounts->clear();
    QHash<qint32, QTreeWidgetItem *> items;
    // In the order of the codes a parent always comes before its children.
    for (const AccountNode &a : std::as_const(m_accounts)) {
        QTreeWidgetItem *parent = items.value(a.parentId);
        auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(ui->treAccounts);
        QStringList levels;
        for (qint32 c : a.levelClasses)
            levels << classTitles.value(c, QString::number(c));
        item->setText(ColCode, a.code);
        item->setText(ColTitle, a.title);
        item->setText(ColKind, a.detail ? QStringLiteral("جزء") : QStringLiteral("گروه"));
        item->setText(ColLevels, levels.join(QStringLiteral("، ")));
        item->setData(ColCode, AccountRole, a.id);
        items.insert(a.id, item);
    }
    ui->treAccounts->expandAll();
}

qint32 frmMosker::selectedAccountId() const
{
    const QList<QTreeWidgetItem *> selected = ui->treAccounts->selectedItems();
    return selected.isEmpty() ? 0 : selected.first()->data(ColCode, AccountRole).toInt();
}

void frmMosker::selectAccount(qint32 id)
{
    for (QTreeWidgetItemIterator it(ui->treAccounts); *it; ++it)
        if ((*it)->data(ColCode, AccountRole).toInt() == id) {
            ui->treAccounts->setCurrentItem(*it);
            ui->treAccounts->scrollToItem(*it);
            return;
        }
}

void frmMosker::fillLevelBoxes(const QVector<qint32> &classes)
{
    QComboBox *boxes[] = {ui->cboLevel1, ui->cboLevel2, ui->cboLevel3};
    for (int i = 0; i < 3; ++i) {
        boxes[i]->clear();
        boxes[i]->addItem(QStringLiteral("—"), 0);
        for (const ObjectClass &c : std::as_const(m_classes))
            boxes[i]->addItem(c.title, c.id);
        boxes[i]->setCurrentIndex(qMax(0, boxes[i]->findData(classes.value(i, 0))));
    }
}

void frmMosker::showAccount(const AccountNode *a)
{
    m_adding = false;
    const bool mayEdit = a && m_session.hasPermission(ids::RightRenameAccount);
    const AccountNode *parent = a ? account(a->parentId) : nullptr;
    ui->lblMode->setText(a ? QStringLiteral("حساب انتخاب شده؛ تنها عنوان آن تغيير مي كند.")
                           : QStringLiteral("حسابي را از درخت انتخاب كنيد."));
    ui->lblParent->setText(parent ? parent->code + QStringLiteral(" - ") + parent->title : QStringLiteral("—"));
    ui->txtCode->setText(a ? a->code : QString());
    ui->txtTitle->setText(a ? a->title : QString());
    ui->chkDetail->setChecked(a && a->detail);
    fillLevelBoxes(a ? a->levelClasses : QVector<qint32>());

    ui->txtCode->setReadOnly(true);
    ui->txtTitle->setReadOnly(!mayEdit);
    ui->chkDetail->setEnabled(false);
    for (QComboBox *box : {ui->cboLevel1, ui->cboLevel2, ui->cboLevel3})
        box->setEnabled(false);
    ui->cmdNewChild->setEnabled(a && !a->detail);
    ui->cmdNewRoot->setEnabled(true);
    ui->cmdSave->setEnabled(mayEdit);
    ui->cmdCancel->setEnabled(false);
    ui->cmdDelete->setEnabled(a != nullptr);
}

void frmMosker::startAdding(const AccountNode *parent)
{
    if (!m_session.hasPermission(ids::RightAddAccount))
        refuse(QStringLiteral("شما به انجام اين عمليات مجاز نيستيد."));
    m_adding = true;
    m_newParentId = parent ? parent->id : 0;
    ui->lblMode->setText(parent ? QStringLiteral("زيرحساب تازه «%1»").arg(parent->title)
                                : QStringLiteral("حساب كل تازه"));
    ui->lblParent->setText(parent ? parent->code + QStringLiteral(" - ") + parent->title : QStringLiteral("—"));
    ui->txtCode->setReadOnly(false);
    ui->txtCode->setText(parent ? parent->code : QString());
    ui->txtTitle->setReadOnly(false);
    ui->txtTitle->clear();
    ui->chkDetail->setEnabled(true);
    ui->chkDetail->setChecked(true);
    fillLevelBoxes({});
    chkDetail_Click();
    ui->cmdNewChild->setEnabled(false);
    ui->cmdNewRoot->setEnabled(false);
    ui->cmdSave->setEnabled(true);
    ui->cmdCancel->setEnabled(true);
    ui->cmdDelete->setEnabled(false);
    ui->txtCode->setFocus();
    ui->txtCode->setCursorPosition(int(ui->txtCode->text().size()));
}

void frmMosker::treAccounts_Click()
{
    showAccount(account(selectedAccountId()));
}

void frmMosker::chkDetail_Click()
{
    const bool levels = m_adding && ui->chkDetail->isChecked();
    for (QComboBox *box : {ui->cboLevel1, ui->cboLevel2, ui->cboLevel3}) {
        box->setEnabled(levels);
        if (!levels)
            box->setCurrentIndex(0);
    }
}

void frmMosker::cmdNewChild_Click()
{
    const AccountNode *parent = account(selectedAccountId());
    if (!parent)
        refuse(QStringLiteral("حساب مادر را از درخت انتخاب كنيد."));
    startAdding(parent);
}

void frmMosker::cmdNewRoot_Click()
{
    startAdding(nullptr);
}

void frmMosker::cmdSave_Click()
{
    if (!m_adding) {
        const qint32 id = selectedAccountId();
        if (id == 0)
            refuse(QStringLiteral("حسابي انتخاب نشده است."));
        m_chart.rename(id, ui->txtTitle->text());
        fillTree();
        selectAccount(id);
        showAccount(account(id));
        return;
    }
    NewAccount a;
    a.parentId = m_newParentId;
    a.code = ui->txtCode->text();
    a.title = ui->txtTitle->text();
    a.detail = ui->chkDetail->isChecked();
    // Levels are taken from the first on; an empty level ends them.
    for (QComboBox *box : {ui->cboLevel1, ui->cboLevel2, ui->cboLevel3}) {
        const qint32 c = box->currentData().toInt();
        if (c == 0)
            break;
        a.levelClasses << c;
    }
    const qint32 id = m_chart.add(a);
    fillTree();
    selectAccount(id);
    showAccount(account(id));
}

void frmMosker::cmdCancel_Click()
{
    showAccount(account(selectedAccountId()));
}

void frmMosker::cmdDelete_Click()
{
    const AccountNode *a = account(selectedAccountId());
    if (!a)
        refuse(QStringLiteral("حسابي انتخاب نشده است."));
    const qint32 id = a->id;
    if (AskQuestion(QStringLiteral("هشدار"), QStringLiteral("حساب «%1 - %2» حذف شود؟").arg(a->code, a->title)) != 6)
        return;
    m_chart.remove(id);
    fillTree();
    showAccount(nullptr);
}

void frmMosker::cmdExit_Click()
{
    hide();
}
