#pragma once

#include "controls/ControlConnection.h"

#include <QGroupBox>
#include <array>

class Connection;
class FarvoPicker;
class OmberSelector;
class QLabel;

// The counter-party picker with detail levels: an account and up to three
// (object class, object) pairs, the classes coming from the account's
// definition. -1 means "not set" for the account and for every level.
class OmberAccountPicker : public QGroupBox
{
    Q_OBJECT
    Q_PROPERTY(QString ConnectionString READ ConnectionString WRITE setConnectionString)
    Q_PROPERTY(qint32 AccountID READ AccountID WRITE setAccountID)
    Q_PROPERTY(qint32 ClassID1 READ ClassID1 WRITE setClassID1)
    Q_PROPERTY(qint32 ObjectID1 READ ObjectID1 WRITE setObjectID1)
    Q_PROPERTY(qint32 ClassID2 READ ClassID2 WRITE setClassID2)
    Q_PROPERTY(qint32 ObjectID2 READ ObjectID2 WRITE setObjectID2)
    Q_PROPERTY(qint32 ClassID3 READ ClassID3 WRITE setClassID3)
    Q_PROPERTY(qint32 ObjectID3 READ ObjectID3 WRITE setObjectID3)
    Q_PROPERTY(bool Editable READ Editable WRITE setEditable)

public:
    explicit OmberAccountPicker(QWidget *parent = nullptr);
    ~OmberAccountPicker() override;

    QString ConnectionString() const { return m_connection.connectionString(); }
    void setConnectionString(const QString &text);
    Q_INVOKABLE void SetTitle(const QString &title) { setTitle(title); }

    qint32 AccountID() const { return m_account; }
    // Sets the account only; the levels keep what they hold.
    void setAccountID(qint32 id);

    qint32 classId(int level) const { return m_class[level - 1]; }
    qint32 objectId(int level) const { return m_object[level - 1]; }
    void setClassId(int level, qint32 id);
    void setObjectId(int level, qint32 id);

    qint32 ClassID1() const { return classId(1); }
    qint32 ObjectID1() const { return objectId(1); }
    qint32 ClassID2() const { return classId(2); }
    qint32 ObjectID2() const { return objectId(2); }
    qint32 ClassID3() const { return classId(3); }
    qint32 ObjectID3() const { return objectId(3); }
    void setClassID1(qint32 id) { setClassId(1, id); }
    void setObjectID1(qint32 id) { setObjectId(1, id); }
    void setClassID2(qint32 id) { setClassId(2, id); }
    void setObjectID2(qint32 id) { setObjectId(2, id); }
    void setClassID3(qint32 id) { setClassId(3, id); }
    void setObjectID3(qint32 id) { setObjectId(3, id); }

    bool Editable() const { return m_editable; }
    void setEditable(bool editable);

Q_SIGNALS:
    void AccountSelected();

private:
    struct ClassInfo
    {
        QString title;
        QString view;
        QString majorView;
    };
    ClassInfo classInfo(qint32 classId);
    // The classes the account's definition gives its levels, when the user picks it.
    void applyAccountLevels(qint32 accountId);
    void showLevel(int level);

    ControlConnection m_connection;
    FarvoPicker *m_accountBox;
    std::array<QLabel *, 3> m_classLabels{};
    std::array<OmberSelector *, 3> m_objectBoxes{};
    qint32 m_account = -1;
    std::array<qint32, 3> m_class{-1, -1, -1};
    std::array<qint32, 3> m_object{-1, -1, -1};
    bool m_editable = true;
};
