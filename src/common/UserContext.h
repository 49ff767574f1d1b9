#pragma once

#include <QString>

// The form modes of the cash receipt form.
enum FormModes : qint32 {
    ModeNew = 1,
    ModeEdit = 2,
    ModeViewTemporary = 3,
    ModeViewFinal = 4,
    ModeEmpty = 5,
    ModeEditFinal = 6,
};

// Who is working and how the suite is set up: written by the entry
// operations (the first five fields) and by the receipt form's load step.
struct UserContext
{
    qint32 UserID = 0;
    qint32 PositionID = 0;
    qint32 EmployeeID = 0;
    QString ConnectionString;
    qint32 FormMode = 0;

    QString KeyboardLayoutID;
    bool UseCounterpartyPicker = false;
    QString BasePath;
    qint16 Parameter29Value = 0;
    bool Parameter202On = false;
    bool Parameter125On = false;
    qint32 UserBranchID = -1;
    qint32 UserInventoryID = -1;
};
