#pragma once

#include <QPageLayout>
#include <QPageSize>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>

// A report template: an HTML file (Qt's rich-text subset) whose fields are
// written in braces, {Column} or {Column:format:format...}. Formats, applied
// left to right:
//   amount    digits grouped by threes with "/" (1500000 -> 1/500/000)
//   words     the whole amount in Persian words
//   date      Persian-calendar date yyyy/mm/dd (a date column's default too)
//   longdate  day, month name and year ("5 آذر 1403")
//   weekday   the Persian weekday name
//   time      HH:mm
//   fa        Persian digits
//   ltr       kept left to right inside right-to-left text (codes such as C-1405-01)
// {?Column}...{/Column} is printed only when the column has a value (not
// null, not blank), {!Column}...{/Column} only when it has none.
// "{{" and "}}" write a brace; nothing is read inside comments or <style>.
// <meta name="page-size" content="A5"> and <meta name="page-orientation"
// content="portrait"> choose the paper (A5 portrait when absent).
class ReportTemplate
{
public:
    struct Field
    {
        // A value, or the start ({?Name}, {!Name}) or end ({/Name}) of a section.
        enum Kind { Value, IfSet, IfEmpty, End };
        Kind kind = Value;
        QString name;
        QStringList formats;
        qsizetype start = 0;  // of the braces in the HTML
        qsizetype length = 0; // braces included
    };

    // Raised for an unreadable or malformed template, a field the query
    // does not return and a value a format cannot take; the text is the
    // Persian message the user sees.
    struct Error
    {
        QString message;
    };

    // Reads a UTF-8 file; Error when it cannot be read or is malformed.
    static ReportTemplate load(const QString &path);
    static ReportTemplate fromHtml(const QString &html);

    const QVector<Field> &fields() const { return m_fields; }
    QPageSize pageSize() const { return m_pageSize; }
    QPageLayout::Orientation orientation() const { return m_orientation; }

    // Error naming the first field that is not among the columns (compared
    // without regard to case).
    void checkFields(const QStringList &columns) const;
    // The HTML with every field replaced by its formatted value, escaped.
    // value gives a column's value by name (null: an invalid QVariant).
    QString fill(const std::function<QVariant(const QString &)> &value) const;

    // One value through a chain of formats (what a field shows).
    static QString format(const QVariant &value, const QStringList &formats, const QString &fieldName);
    static bool isKnownFormat(const QString &name);

private:
    QString m_html;
    QVector<Field> m_fields;
    QPageSize m_pageSize{QPageSize::A5};
    QPageLayout::Orientation m_orientation = QPageLayout::Portrait;
};
