#pragma once

#include "controls/LookupBox.h"

// The suite's selector: a searchable list over its minor view (ID, Code,
// Title); the "..." button browses the major view with all its columns.
class OmberSelector : public LookupBox
{
    Q_OBJECT
    Q_PROPERTY(QString ConnectionString READ ConnectionString WRITE setConnectionString)
    Q_PROPERTY(QString Title READ Title WRITE setTitle)
    Q_PROPERTY(QString ViewMajor READ ViewMajor WRITE setViewMajor)
    Q_PROPERTY(QString ViewMinor READ ViewMinor WRITE setViewMinor)
    Q_PROPERTY(qint32 SelectedID READ SelectedID WRITE setSelectedID)
    Q_PROPERTY(bool Editable READ Editable WRITE setEditable)

public:
    explicit OmberSelector(QWidget *parent = nullptr);

    QString Title() const { return m_title; }
    void setTitle(const QString &title);
    QString ViewMajor() const { return m_viewMajor; }
    void setViewMajor(const QString &view) { m_viewMajor = view; }
    QString ViewMinor() const { return m_viewMinor; }
    void setViewMinor(const QString &view);

    qint32 SelectedID() const { return chosenId(); }
    void setSelectedID(qint32 id) { chooseId(id); }

    // Opens the browser of the major view; a row chosen there becomes the choice.
    void browseMajorView();

protected:
    QString listQuery() const override;
    QString rowQuery(qint32 id) const override;

private:
    QString m_title;
    QString m_viewMajor;
    QString m_viewMinor;
};
