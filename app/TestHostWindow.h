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

private:
    Pardex1 *m_control;
};
