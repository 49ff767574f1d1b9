#pragma once

#include <QMainWindow>

class Pardex1;

// The test host: a window holding one Pardex1 control, as a host screen of
// the suite would.
class TestHostWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit TestHostWindow(QWidget *parent = nullptr);
    Pardex1 *control() const { return m_control; }

protected:
    // Closing the host ends the program: the receipt form is asked to close
    // first (it may keep itself open), and nothing stays behind holding the
    // database.
    void closeEvent(QCloseEvent *event) override;

private:
    Pardex1 *m_control;
};
