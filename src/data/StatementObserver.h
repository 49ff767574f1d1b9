#pragma once

#include <QString>
#include <QVariantList>
#include <memory>

struct ProcedureDef;

// The one seam through which a test watches what the data environment runs
// and makes a step of it fail. The program attaches nothing; its statement
// trace (PARDEX_SQL_TRACE=1) is an observer of this kind too.
//
// The entry operations re-create the data environment while a test
// watches, so an observer is attached not to one connection but to the
// connections its thread creates: every Connection made on that thread while
// the attachment lives reports to it, and only on that thread (a connection
// is used where it was made). When the attachment ends, the connections it
// reached stop reporting, so none is left holding a destroyed observer.
// The in-house controls' and the report's own connections report nothing
// (Connection::setRecorded).
class StatementObserver
{
public:
    // Before a statement runs: the component's own T-SQL as built, before
    // any rewrite ("BEGIN TRANSACTION", "COMMIT TRANSACTION" and "ROLLBACK
    // TRANSACTION" for a transaction's steps). What it throws (a VbError)
    // is the statement's failure: it does not run; a rollback runs anyway.
    virtual void beforeStatement(const QString &tsql) = 0;
    // Before a procedure is called, with the arguments as passed in; what
    // it throws is the call's failure.
    virtual void beforeCall(const ProcedureDef &procedure, const QVariantList &args) = 0;

    // Attachments nest: the innermost one of the thread counts.
    class Attachment
    {
    public:
        explicit Attachment(StatementObserver &observer);
        ~Attachment();
        Attachment(const Attachment &) = delete;
        Attachment &operator=(const Attachment &) = delete;

    private:
        friend class StatementObserver;
        std::shared_ptr<StatementObserver *> m_link;
        Attachment *m_outer;
    };

    // What a connection made now on this thread reports to: the innermost
    // attachment's link (empty when there is none), which points to nothing
    // once that attachment has ended.
    static std::shared_ptr<StatementObserver *> attached();

protected:
    ~StatementObserver() = default;
};
